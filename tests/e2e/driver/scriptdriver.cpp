#include "tests/e2e/driver/scriptdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

constexpr int kTickMs = 25;

QWidget* shownWindow(const QString& className) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && className == window->metaObject()->className()) {
            return window;
        }
    }
    return nullptr;
}

// A control by its object name, else a button or label by its text.
QWidget* control(QWidget* window, const QString& name) {
    if (auto* named = window->findChild<QWidget*>(name)) {
        return named;
    }
    for (auto* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->text() == name) {
            return button;
        }
    }
    for (auto* label : window->findChildren<QLabel*>()) {
        if (label->isVisible() && label->text() == name) {
            return label;
        }
    }
    return nullptr;
}

QString buttonTextOf(const QString& answer) {
    if (answer == "OK") {
        return QStringLiteral("確定");
    }
    if (answer == "CANCEL") {
        return QStringLiteral("取消");
    }
    return answer == "YES" ? QStringLiteral("是") : QStringLiteral("否");
}

// The message's own text is its one word-wrapped label.
QString messageText(QWidget* message) {
    for (auto* label : message->findChildren<QLabel*>()) {
        if (label->wordWrap()) {
            return label->text().simplified();
        }
    }
    return QString();
}

Qt::Key keyNamed(const QString& name) {
    if (name == "Tab") {
        return Qt::Key_Tab;
    }
    return name == "Escape" ? Qt::Key_Escape : Qt::Key_Return;
}

// An editable combo box takes its typing in its text box.
QWidget* typingTarget(QWidget* target) {
    auto* combo = qobject_cast<QComboBox*>(target);
    return combo && combo->isEditable() ? combo->lineEdit() : target;
}

// Typing replaces what the box held, as a learner who selects it all does.
void clearText(QWidget* target) {
    if (auto* box = qobject_cast<QLineEdit*>(target)) {
        box->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(target)) {
        combo->clearEditText();
    }
}

void focusControl(QWidget* window, QWidget* target) {
    window->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
}

}  // namespace

ScriptDriver::ScriptDriver(const QString& scriptFile, const QString& logFile) : m_log(logFile) {
    QFile script(scriptFile);
    if (script.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(script.readAll()).split('\n')) {
            if (!line.trimmed().isEmpty()) {
                m_steps << line;
            }
        }
    }
    m_log.open(QIODevice::WriteOnly | QIODevice::Append);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ScriptDriver::tick);
    m_timer.start();
}

void ScriptDriver::log(const QString& line) {
    m_log.write(line.toUtf8() + '\n');
    m_log.flush();
}

// A step is counted as done before it acts: its action may run nested event
// loops (a click that opens a modal window), in which the following steps
// must go on.
void ScriptDriver::tick() {
    logNewWindows();
    if (m_next >= m_steps.size()) {
        return;
    }
    const QStringList step = m_steps.at(m_next).split('\t');
    QWidget* target = readyTarget(step);
    if (!target) {
        return;
    }
    ++m_next;
    log("step " + step.join(' '));
    // A timer does not tick again while its own tick runs: the action gets
    // an event of its own, so that the ticks go on while it waits.
    QTimer::singleShot(0, this, [this, step, guarded = QPointer<QWidget>(target)] {
        if (guarded) {
            perform(step, guarded);
        }
    });
}

void ScriptDriver::logNewWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QString className = window->metaObject()->className();
        if (!window->isVisible() || !className.startsWith("frm")) {
            continue;
        }
        if (className == "frmMessage") {
            const QString text = messageText(window);
            if (window != m_loggedMessage || text != m_loggedMessageText) {
                m_loggedMessage = window;
                m_loggedMessageText = text;
                log("message " + text);
            }
        } else if (!m_seenWindows.contains(window)) {
            m_seenWindows.insert(window);
            connect(window, &QObject::destroyed, this,
                    [this, window] { m_seenWindows.remove(window); });
            log("shown " + className);
        }
    }
}

QWidget* ScriptDriver::readyTarget(const QStringList& step) {
    const QString command = step.value(0);
    if (command == "answer") {
        QWidget* message = shownWindow("frmMessage");
        QWidget* button = message ? control(message, buttonTextOf(step.value(1))) : nullptr;
        return button && button->isVisible() ? button : nullptr;
    }
    QWidget* window = shownWindow(step.value(1));
    if (!window || (command != "wait" && !window->isEnabled())) {
        return nullptr;
    }
    if (command == "wait" || command == "tree" || command == "close") {
        return window;
    }
    if (command == "link") {
        return pageSays(window, QStringLiteral("document.querySelector('a[href=\"%1\"]') !== null")
                                    .arg(step.value(2)))
                   ? window
                   : nullptr;
    }
    if (command == "loaded") {
        return pageSays(window,
                        "document.readyState === 'complete' && "
                        "location.href !== 'about:blank'")
                   ? window
                   : nullptr;
    }
    QWidget* target = control(window, step.value(2));
    if (!target || !target->isVisible() || !target->isEnabled()) {
        return nullptr;
    }
    return command == "click" ? target : typingTarget(target);
}

void ScriptDriver::perform(const QStringList& step, QWidget* target) {
    const QString command = step.value(0);
    if (command == "tree") {
        int count = 0;
        for (QTreeWidgetItemIterator item(target->findChild<QTreeWidget*>()); *item; ++item) {
            ++count;
        }
        log("tree " + QString::number(count));
    } else if (command == "close") {
        target->close();
    } else if (command == "link") {
        target->findChild<QWebEngineView*>()->page()->runJavaScript(
            QStringLiteral("document.querySelector('a[href=\"%1\"]').click();").arg(step.value(2)));
    } else if (command == "type") {
        focusControl(target->window(), target);
        clearText(target);
        QTest::keyClicks(target, step.value(3));
    } else if (command == "key") {
        focusControl(target->window(), target);
        QTest::keyClick(target, keyNamed(step.value(3)));
    } else if (command == "click" || command == "answer") {
        QTest::mouseClick(target, Qt::LeftButton);
    }
}

// Asks the page without waiting; a later tick reads the answer.
bool ScriptDriver::pageSays(QWidget* window, const QString& condition) {
    if (m_pageAnswer == PageAnswer::Yes) {
        m_pageAnswer = PageAnswer::None;
        return true;
    }
    if (m_pageAnswer == PageAnswer::Asked) {
        return false;
    }
    auto* view = window->findChild<QWebEngineView*>();
    if (!view) {
        return false;
    }
    m_pageAnswer = PageAnswer::Asked;
    QPointer<ScriptDriver> self(this);
    view->page()->runJavaScript(condition, [self](const QVariant& answer) {
        if (self) {
            self->m_pageAnswer = answer.toBool() ? PageAnswer::Yes : PageAnswer::No;
        }
    });
    return false;
}
