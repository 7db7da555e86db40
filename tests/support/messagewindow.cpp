#include "tests/support/messagewindow.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/forminstance.h"
#include "shared/frmMessage.h"

namespace {

constexpr int kPollIntervalMs = 5;

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

void clickMessageButton(const QString& answer) {
    QPushButton* button = messageButton(answer);
    if (!button) {
        ADD_FAILURE() << "no shown message offers " << answer.toStdString();
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

MessageAnswerer::MessageAnswerer(const QString& answer) : m_answer(answer), m_timer(new QTimer) {
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
    if (!messageButton(m_answer)) {
        return;
    }
    m_texts.append(shownMessageText());
    clickMessageButton(m_answer);
}
