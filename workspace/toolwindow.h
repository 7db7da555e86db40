#pragma once

#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include "shared/skinneddialog.h"

class Browser;
class QLabel;

// The frame of the list windows beside the main window (examples, own
// sentences, wrong sentences): a topmost skinned window flush with the right
// edge of the screen, with a caption band, optional tabs, and a browser that
// shows the list.
class ToolWindow : public SkinnedDialog {
    Q_OBJECT

public:
    QLabel* picCaption;
    QLabel* lblCaption;
    Browser* webMain;
    QPixmap imgInfoMenuOn;
    QPixmap imgInfoMenuOff;

protected:
    explicit ToolWindow(bool* openFlag);

    // Takes the skin, stands at topTwips from the top of the screen with its
    // right edge on the screen's, and starts the fade-in.
    void openAtRightEdge(int topTwips);

    // Makes count tabs, each a picture with a caption label on it; a click on
    // either runs picInfoMenu_Click with the tab's index. The list moves down
    // below the tabs.
    void createTabs(QLabel** pictures, QLabel** captions, int count);
    // Paints the tabs, tab pIndex selected (99: none). pReset also sets their
    // captions and places them 1250 twips apart, the last one 1550 twips
    // before the right edge.
    void paintTabs(int pIndex, bool pReset, const QStringList& captions);
    virtual void picInfoMenu_Click(int Index);

    // The list is hidden and blank while a new one is built.
    void clearList();
    void showList(const QString& page);

    // The selected node's question code: its key less "QUIZ_".
    static QString questionCode();
    // The start of a list page up to its open cell, and its end.
    static QString listPageHead(const QString& cellLine);
    static QString listPageFoot();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    int tabIndexOf(QObject* control) const;

    QList<QLabel*> mTabPictures;
    QList<QLabel*> mTabCaptions;
};
