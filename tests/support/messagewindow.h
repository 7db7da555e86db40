#pragma once

#include <functional>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>

class QPushButton;
class QTimer;
class frmMessage;

// Tests meet the message window as the learner does: they read what it shows
// and click its real buttons.

// The message window when it is loaded and shown, else nullptr.
frmMessage* shownMessage();
// The shown message's text as it is displayed ("\n" for line breaks).
QString shownMessageText();
// The index of the shown message's icon among the window's three icons, -1
// when it shows none of them.
int shownMessageIcon();
// The shown button of an answer ("OK", "CANCEL", "YES", "NO"), else nullptr.
QPushButton* messageButton(const QString& answer);
// Clicks the button of the answer on the shown message window through the
// window, as the learner's mouse does; the test fails when there is no such
// button to click, or when the click does not reach it (a modal window
// blocks the message).
void clickMessageButton(const QString& answer);

// While it lives, answers every message that offers the answer as soon as it
// is shown, also while the code under test waits for the answer. A message
// that stays unanswered for a few seconds (its clicks cannot reach it, or it
// offers no answer that a test gives) fails the test and ends the program's
// waits, so that the test ends instead of waiting for ever:
//   MessageAnswerer answerer("OK");
//   codeThatAsks();
//   EXPECT_EQ(answerer.texts(), QStringList{"..."});
// An action given to it runs once a message is up, before its answer: what
// the learner does meanwhile (closes the window that waits on the answer).
class MessageAnswerer {
public:
    explicit MessageAnswerer(const QString& answer, std::function<void()> beforeAnswer = {});
    ~MessageAnswerer();
    MessageAnswerer(const MessageAnswerer&) = delete;
    MessageAnswerer& operator=(const MessageAnswerer&) = delete;

    // The texts of the messages answered so far, as displayed.
    QStringList texts() const { return m_texts; }
    // The same without the line breaks that set a message lower in its box.
    QStringList trimmedTexts() const;

private:
    void answerShownMessage();

    QString m_answer;
    std::function<void()> m_beforeAnswer;
    QStringList m_texts;
    QTimer* m_timer;
    // The message up and unanswered, and since when.
    QPointer<frmMessage> m_waiting;
    QString m_waitingText;
    QElapsedTimer m_waitingSince;
};
