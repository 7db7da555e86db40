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

// Shows a message and waits for the learner's answer to it, which it returns
// and leaves in gMsgResult: this message's own answer, also where another
// message came and was answered while this one waited. "" when the program
// ends first, or the window is unloaded unanswered.
QString MessageBoxAndWait(const QString& pMessageId, int pIcon, const QString& pFormType,
                          const QString& pCaptionId);

// The one window of every prompt, notice and please-wait box. It does not
// block: MessageBoxAndWait() shows a message and waits for its answer.
// A please-wait box is closed by FormInstance<frmMessage>::unload().
//
// A message that waits for its answer keeps its place: a message or a
// please-wait box asked for meanwhile (by a timer, or by a handler that
// runs in a wait) waits until the learner has answered it, then shows.
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
    // Waits for the answer to the message that MessageBox() showed last, and
    // leaves it in gMsgResult.
    static QString awaitAnswer();

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
    void showMessage(const QString& pMessageId, int pIcon, const QString& pFormType,
                     const QString& pCaptionId);
    void showPleaseWait(const QString& pMessageId, int pIcon, const QString& pCaptionId);
    void answer(const QString& pResult);
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
