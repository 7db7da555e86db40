#pragma once

#include <array>
#include <QString>

#include "shared/skinneddialog.h"

class Browser;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The feedback window, in which the learner questions the result of the last
// sentence check: the sentence, a description and, on request, an e-mail
// address for the answer go to the service as a form.
class frmFeedback : public SkinnedDialog {
    Q_OBJECT

public:
    frmFeedback();

    void Form_Load();
    // Also the reset of the whole window.
    void SetDefaultValue();
    void SetMouseIconHand();
    void OpenWithBrowserForFeedback();

    void cmdSend_Click();
    void cmdCancel_Click();
    void optNeedRes_Click(int Index);
    void lblNeedRes_Click(int Index);
    void txtDesc_Click();
    void txtDesc_LostFocus();

    QLabel* lblCaption = nullptr;
    std::array<QLabel*, 2> lblS{};
    QLabel* lblSentence = nullptr;
    QWidget* picDesc = nullptr;
    QPlainTextEdit* txtDesc = nullptr;
    std::array<QRadioButton*, 2> optNeedRes{};
    std::array<QLabel*, 2> lblNeedRes{};
    QWidget* picEmail = nullptr;
    QLineEdit* txtEmail = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdCancel = nullptr;
    Browser* webMain = nullptr;

    QString mSentence;
    QString mErrCode;
    // The question of the checked sentence, which the learner may have left.
    QString mQcode;
    QString mDescPrompt;

protected:
    void unloadForm() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    QPushButton* createButton(const QRect& twips);
    // The description as the learner typed it, line breaks as CR LF.
    QString descriptionText() const;
    bool showsNoDescription() const;
    // The id of the message that refuses the entries, "" when they may go.
    QString refusalOf(const QString& email) const;
    void refuse(const QString& messageId);
    // False when the service's answer did not arrive.
    bool postFeedback(const QString& email);
};
