#pragma once

#include "shared/progressflash.h"

#include <array>
#include <QPixmap>
#include <QString>

#include "shared/skinneddialog.h"

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

// Texts of the message window, built when asked for (some splice in the
// current plan, course or parameter). An unknown id gives "".
QString MessageText(const QString& id);
QString PleaseWaitText(const QString& id);
QString MessageCaption(const QString& captionId);
// A short text gets a line break before it, so that it stands nearer the
// middle of the window; the count includes the text's own line breaks.
QString WithLeadingLineBreak(const QString& text);

// The one window of every prompt, notice and please-wait box. It does not
// block: the caller waits until gMsgResult is no longer empty, e.g.
//   FormInstance<frmMessage>::get()->MessageBox("40", 2, "OK_CANCEL", "2");
//   waitUntil([] { return !gMsgResult.isEmpty(); });
// A please-wait box is closed by FormInstance<frmMessage>::unload().
class frmMessage : public SkinnedDialog {
    Q_OBJECT

public:
    frmMessage();

    void MessageBox(const QString& pMessageId, int pIcon, const QString& pFormType,
                    const QString& pCaptionId);
    void ProgressMsgBox(const QString& pMessageId, int pIcon, const QString& pFormType,
                        const QString& pCaptionId);
    void closeForm();
    // Whether a message or a please-wait box is up.
    static bool isShown();

    QLabel* lblCaption;
    QLabel* lblMessage;
    QLabel* imgIcon;
    std::array<QPixmap, 3> imgIcons;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdYes;
    QPushButton* cmdNo;
    QLabel* picProgress;
    QWidget* picProgressInner;
    QLabel* imgProgressFlash;
    QTimer* tmrProgressFlash;

public Q_SLOTS:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdYes_Click();
    void cmdNo_Click();
    void tmrProgressFlash_Timer();

protected:
    void unloadForm() override;
    // The answer that changes nothing: Cancel, else No, else OK where it is
    // the only button. A please-wait box has no answer and stays.
    void closeFromWindowSystem() override;

private:
    void Form_Load();
    void createControls();
    QPushButton* createButton();
    void hideButtons();
    void showText(const QString& text, Qt::Alignment alignment);
    void showIcon(int pIcon);
    void placeButtons(const QString& pFormType);
    void placeButton(QPushButton* button, int leftTwips);
    int widthTwips() const;

    ProgressFlash mProgressFlash;
};
