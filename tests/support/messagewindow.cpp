#include "tests/support/messagewindow.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "tests/support/windowsystem.h"

namespace {

constexpr int kPollIntervalMs = 5;
constexpr int kUnansweredLimitMs = 5000;

}  // namespace

frmMessage* shownMessage() {
    if (!FormInstance<frmMessage>::isLoaded()) {
        return nullptr;
    }
    frmMessage* message = FormInstance<frmMessage>::get();
    return message->isVisible() ? message : nullptr;
}

QString shownMessageText() {
    const frmMessage* message = shownMessage();
    return message ? message->lblMessage->text() : QString();
}

int shownMessageIcon() {
    const frmMessage* message = shownMessage();
    if (!message) {
        return -1;
    }
    const qint64 shown = message->imgIcon->pixmap().cacheKey();
    for (int index = 0; index < int(message->imgIcons.size()); ++index) {
        if (message->imgIcons[index].cacheKey() == shown) {
            return index;
        }
    }
    return -1;
}

QPushButton* messageButton(const QString& answer) {
    frmMessage* message = shownMessage();
    if (!message) {
        return nullptr;
    }
    QPushButton* button = answer == "OK"       ? message->cmdOK
                          : answer == "CANCEL" ? message->cmdCancel
                          : answer == "YES"    ? message->cmdYes
                          : answer == "NO"     ? message->cmdNo
                                               : nullptr;
    return button && button->isVisible() ? button : nullptr;
}

namespace {

// A please-wait box shows no button and waits for nobody.
bool asksForAnAnswer(const frmMessage* message) {
    for (const QPushButton* button :
         {message->cmdOK, message->cmdCancel, message->cmdYes, message->cmdNo}) {
        if (button->isVisibleTo(message)) {
            return true;
        }
    }
    return false;
}

// The message that waits for an answer: the shown one, or one that was
// loaded and asked but never shown, which no click can ever answer.
frmMessage* unansweredMessage() {
    if (!FormInstance<frmMessage>::isLoaded()) {
        return nullptr;
    }
    frmMessage* message = FormInstance<frmMessage>::get();
    const bool waits = message->isVisible() || gMsgResult.isEmpty();
    return waits && asksForAnAnswer(message) ? message : nullptr;
}

// Whether the click reached the button: an answered message is gone.
bool clickAnswers(QPushButton* button) {
    const QPointer<QPushButton> clicked(button);
    clickThroughWindow(button);
    return !clicked || !clicked->isVisible();
}

}  // namespace

void clickMessageButton(const QString& answer) {
    QPushButton* button = messageButton(answer);
    if (!button) {
        ADD_FAILURE() << "no shown message offers " << answer.toStdString();
        return;
    }
    EXPECT_TRUE(clickAnswers(button))
        << "a click cannot reach the message \"" << shownMessageText().toStdString()
        << "\": a modal window blocks it";
}

MessageAnswerer::MessageAnswerer(const QString& answer, std::function<void()> beforeAnswer)
    : m_answer(answer), m_beforeAnswer(std::move(beforeAnswer)), m_timer(new QTimer) {
    m_timer->setInterval(kPollIntervalMs);
    QObject::connect(m_timer, &QTimer::timeout, [this] { answerShownMessage(); });
    m_timer->start();
}

MessageAnswerer::~MessageAnswerer() {
    delete m_timer;
}

QStringList MessageAnswerer::trimmedTexts() const {
    QStringList trimmed;
    for (const QString& text : m_texts) {
        trimmed << text.trimmed();
    }
    return trimmed;
}

void MessageAnswerer::answerShownMessage() {
    frmMessage* message = unansweredMessage();
    if (!message) {
        m_waiting.clear();
        return;
    }
    const QString text = message->lblMessage->text();
    if (message != m_waiting || text != m_waitingText) {
        m_waiting = message;
        m_waitingText = text;
        m_waitingSince.start();
        if (m_beforeAnswer && messageButton(m_answer)) {
            m_beforeAnswer();
        }
    }
    QPushButton* button = messageButton(m_answer);
    if (button && clickAnswers(button)) {
        m_texts.append(text);
        m_waiting.clear();
        return;
    }
    if (m_waitingSince.elapsed() > kUnansweredLimitMs) {
        m_timer->stop();
        ADD_FAILURE() << "for " << kUnansweredLimitMs / 1000 << " s the message \""
                      << text.toStdString() << "\" stayed unanswered: "
                      << (!message->isVisible() ? std::string("it was never shown")
                          : button              ? "no click reaches it, a modal window blocks it"
                                                : "it does not offer " + m_answer.toStdString());
        waits::endAll();
    }
}
