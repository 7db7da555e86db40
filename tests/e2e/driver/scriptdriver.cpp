#include "tests/e2e/driver/scriptdriver.h"

#include <qpa/qwindowsysteminterface.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

namespace {

constexpr int kTickMs = 25;
// A page that has not answered by then (it went away while it was asked)
// is asked again.
constexpr int kPageAnswerWaitMs = 2000;

QWidget* shownWindow(const QString& className) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && className == window->metaObject()->className()) {
            return window;
        }
    }
    return nullptr;
}

// "QLineEdit:2": the third visible control of that class in the window.
QWidget* controlByClassAndPlace(QWidget* window, const QString& name) {
    static const QRegularExpression form("^([A-Za-z_][A-Za-z0-9_]*):([0-9]+)$");
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch()) {
        return nullptr;
    }
    const QByteArray className = match.captured(1).toLatin1();
    int place = match.captured(2).toInt();
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->isVisible() && child->inherits(className.constData()) && place-- == 0) {
            return child;
        }
    }
    return nullptr;
}

// A control by its object name, by its class and place, else a button or
// label by its text.
QWidget* control(QWidget* window, const QString& name) {
    if (auto* named = window->findChild<QWidget*>(name)) {
        return named;
    }
    if (QWidget* placed = controlByClassAndPlace(window, name)) {
        return placed;
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

QAction* menuItem(QWidget* window, const QString& name) {
    for (QAction* item : window->findChildren<QAction*>()) {
        if (item->isVisible() && item->isEnabled() &&
            (item->text() == name || item->objectName() == name)) {
            return item;
        }
    }
    return nullptr;
}

QTreeWidgetItem* treeNode(QTreeWidget* tree, const QString& text) {
    for (QTreeWidgetItemIterator item(tree); *item; ++item) {
        if ((*item)->text(0) == text) {
            return *item;
        }
    }
    return nullptr;
}

QWebEngineView* webView(QWidget* window, int place) {
    for (QWebEngineView* view : window->findChildren<QWebEngineView*>()) {
        if (view->isVisible() && place-- == 0) {
            return view;
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

QString controlText(QWidget* target) {
    if (auto* box = qobject_cast<QLineEdit*>(target)) {
        return box->text();
    }
    if (auto* label = qobject_cast<QLabel*>(target)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        return button->text();
    }
    if (auto* status = qobject_cast<QStatusBar*>(target)) {
        return status->currentMessage();
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(target)) {
        return box->toPlainText();
    }
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
        return combo->currentText();
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(target)) {
        return tree->currentItem() ? tree->currentItem()->text(0) : QString();
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

// A mouse lands on what a scroll area shows, not on its frame.
QWidget* clickTarget(QWidget* target) {
    auto* area = qobject_cast<QAbstractScrollArea*>(target);
    return area ? area->viewport() : target;
}

// Typing replaces what the box held, as a learner who selects it all does.
void clearText(QWidget* target) {
    if (auto* box = qobject_cast<QLineEdit*>(target)) {
        box->clear();
    } else if (auto* combo = qobject_cast<QComboBox*>(target)) {
        combo->clearEditText();
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(target)) {
        box->clear();
    }
}

// Letters outside Latin-1 come as an input method commits them, as a
// learner's Chinese input does.
void typeText(QWidget* target, const QString& text) {
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i;
        const bool latin = text.at(i).unicode() < 0x100;
        while (end < text.size() && (text.at(end).unicode() < 0x100) == latin) {
            ++end;
        }
        if (latin) {
            QTest::keyClicks(target, text.mid(i, end - i));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, end - i));
            QApplication::sendEvent(target, &commit);
        }
        i = end;
    }
}

void focusControl(QWidget* window, QWidget* target) {
    window->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
}

QString jsString(const QString& text) {
    QString quoted = text;
    quoted.replace('\\', "\\\\").replace('\'', "\\'").replace('\n', "\\n");
    return "'" + quoted + "'";
}

QString elementScript(const QString& selector, const QString& body) {
    return QStringLiteral("(function() { var e = document.querySelector(%1); return %2; })()")
        .arg(jsString(selector), body);
}

bool isPageCommand(const QString& command) {
    return command == "loaded" || command == "link" || command == "clickpage" ||
           command == "waitpage" || command == "pagetext";
}

// The mouse comes over the spot before it presses, as a hand's does (hover
// faces follow it), and clicks through the window, where Qt's modal blocking
// applies as it does to the learner.
void clickThroughWindow(QWidget* target, const QPoint& spot) {
    QWindow* window = target->window()->windowHandle();
    if (!window) {
        return;
    }
    const QPoint inWindow = target->mapTo(target->window(), spot);
    QTest::mouseMove(window, inWindow);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, inWindow);
}

void clickTreeNode(QTreeWidget* tree, const QString& text) {
    QTreeWidgetItem* node = treeNode(tree, text);
    if (!node) {
        return;
    }
    for (QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent()) {
        parent->setExpanded(true);
    }
    tree->scrollToItem(node);
    clickThroughWindow(tree->viewport(), tree->visualItemRect(node).center());
}

// A message that waits for the learner's answer leaves the learner's hand
// free for every window; a please-wait box does not.
bool messageWaitsForAnswer() {
    QWidget* message = shownWindow("frmMessage");
    if (!message) {
        return false;
    }
    const auto buttons = message->findChildren<QAbstractButton*>();
    return std::any_of(buttons.begin(), buttons.end(),
                       [](const QAbstractButton* button) { return button->isVisible(); });
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
    m_killMessage = qEnvironmentVariable("LEXIVO_E2E_KILL_MESSAGE");
    m_killOccurrence = qEnvironmentVariableIntValue("LEXIVO_E2E_KILL_OCCURRENCE");
    m_killFile = qEnvironmentVariable("LEXIVO_E2E_KILL_FILE");
    qApp->installEventFilter(this);
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
    if (!m_killFile.isEmpty() && QFile::exists(m_killFile)) {
        killNow();
    }
    logNewWindows();
    if (m_next >= m_steps.size() || m_actionWaiting) {
        return;
    }
    const QStringList step = m_steps.at(m_next).split('\t');
    QWidget* target = readyTarget(step);
    if (!target) {
        return;
    }
    // A timer does not tick again while its own tick runs: the action gets
    // an event of its own, so that the ticks go on while it waits.
    m_actionWaiting = true;
    QTimer::singleShot(0, this, [this, step, guarded = QPointer<QWidget>(target)] {
        m_actionWaiting = false;
        // The program may have gone on in between (a toolbar disabled and
        // enabled again button by button): the step waits for a later tick
        // rather than act on a control that is no longer ready. A page's
        // readiness is an answer of the page, taken once.
        const bool stillReady = isPageCommand(step.value(0)) || readyTarget(step) == guarded;
        if (!guarded || !stillReady) {
            return;
        }
        ++m_next;
        log("step " + step.join(' '));
        for (const RunningStep& running : m_runningSteps) {
            log("running " + running.step);
        }
        m_runningSteps.append({step.join(' '), guarded->window()});
        perform(step, guarded);
        m_runningSteps.removeLast();
    });
}

bool ScriptDriver::isActing(const QWidget* window) const {
    return std::any_of(m_runningSteps.begin(), m_runningSteps.end(),
                       [window](const RunningStep& running) { return running.window == window; });
}

// A please-wait box may be gone before the next tick: it is logged when it
// shows. A message window that shows another text meanwhile is seen by the
// ticks.
bool ScriptDriver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && QString(window->metaObject()->className()) == "frmMessage") {
            // Each showing counts, also the same text again in a window that
            // took the place of the one before.
            m_loggedMessage = nullptr;
            logMessage(window);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ScriptDriver::logMessage(QWidget* message) {
    const QString text = messageText(message);
    if (message == m_loggedMessage && text == m_loggedMessageText) {
        return;
    }
    m_loggedMessage = message;
    m_loggedMessageText = text;
    log("message " + text);
    killAtMessage(text);
}

// The kill waits for the program to go on to its wait (the answer, or the
// work behind a please-wait box); the log is on the disk by then.
void ScriptDriver::killAtMessage(const QString& text) {
    const int occurrence = ++m_messageCounts[text];
    if (text == m_killMessage && occurrence == m_killOccurrence) {
        QTimer::singleShot(0, &ScriptDriver::killNow);
    }
}

void ScriptDriver::killNow() {
    ::kill(::getpid(), SIGKILL);
}

void ScriptDriver::logNewWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QString className = window->metaObject()->className();
        if (!window->isVisible() || !className.startsWith("frm")) {
            continue;
        }
        if (className == "frmMessage") {
            logMessage(window);
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
        if (!message || !messageText(message).startsWith(step.value(2).simplified())) {
            return nullptr;
        }
        QWidget* button = control(message, buttonTextOf(step.value(1)));
        return button && button->isVisible() ? button : nullptr;
    }
    QWidget* window = shownWindow(step.value(1));
    const bool evenDisabled = command == "wait" || command == "shot";
    if (!window || (!evenDisabled && !window->isEnabled())) {
        return nullptr;
    }
    // A modal window (one that may still be fading out) keeps the learner
    // from every other window, and so the script too.
    const QWidget* modal = QApplication::activeModalWidget();
    if (!evenDisabled && modal && modal != window) {
        return nullptr;
    }
    if (command != "wait" && isActing(window) && !messageWaitsForAnswer()) {
        return nullptr;
    }
    if (command == "wait" || command == "tree" || command == "close" || command == "shot") {
        return window;
    }
    if (command == "menu") {
        return menuItem(window, step.value(2)) ? window : nullptr;
    }
    if (command == "select") {
        auto* tree = window->findChild<QTreeWidget*>();
        return tree && treeNode(tree, step.value(2)) ? window : nullptr;
    }
    if (isPageCommand(command)) {
        return readyPageTarget(step, window);
    }
    if (command == "ready" && menuItem(window, step.value(2))) {
        return window;
    }
    QWidget* target = control(window, step.value(2));
    if (!target || !target->isVisible() || (command != "text" && !target->isEnabled())) {
        return nullptr;
    }
    return command == "type" || command == "key" ? typingTarget(target) : target;
}

// The window once its page holds what the step needs.
QWidget* ScriptDriver::readyPageTarget(const QStringList& step, QWidget* window) {
    const QString command = step.value(0);
    const int place = step.value(command == "loaded" ? 2 : 3).toInt();
    QWebEngineView* view = webView(window, place);
    if (!view) {
        return nullptr;
    }
    QString script;
    if (command == "loaded") {
        script = "document.readyState === 'complete' && location.href !== 'about:blank'";
    } else if (command == "link") {
        script = elementScript(QStringLiteral("a[href=\"%1\"]").arg(step.value(2)), "e !== null");
    } else if (command == "clickpage") {
        script = elementScript(step.value(2), "e !== null");
    } else if (command == "waitpage") {
        script = "!!(" + step.value(2) + ")";
    } else {
        script = elementScript(step.value(2), "e === null ? null : e.innerText");
    }
    const std::optional<QVariant> value = pageValue(view, script);
    if (!value || value->isNull() || (command != "pagetext" && !value->toBool())) {
        return nullptr;
    }
    m_foundText = value->toString().simplified();
    return window;
}

std::optional<QVariant> ScriptDriver::pageValue(QWebEngineView* view, const QString& script) {
    if (m_pageQuestion && m_pageQuestion->view == view && m_pageQuestion->script == script) {
        if (m_pageQuestion->answered) {
            const QVariant answer = m_pageQuestion->answer;
            m_pageQuestion.reset();
            return answer;
        }
        if (m_asked.elapsed() < kPageAnswerWaitMs) {
            return std::nullopt;
        }
    }
    m_pageQuestion = PageQuestion{view, script, false, QVariant()};
    m_asked.start();
    const int question = ++m_questionCount;
    QPointer<ScriptDriver> self(this);
    view->page()->runJavaScript(script, [self, question](const QVariant& answer) {
        if (self && self->m_pageQuestion && self->m_questionCount == question) {
            self->m_pageQuestion->answered = true;
            self->m_pageQuestion->answer = answer;
        }
    });
    return std::nullopt;
}

void ScriptDriver::perform(const QStringList& step, QWidget* target) {
    const QString command = step.value(0);
    if (isPageCommand(command)) {
        performOnPage(step, target);
    } else if (command == "tree") {
        int count = 0;
        for (QTreeWidgetItemIterator item(target->findChild<QTreeWidget*>()); *item; ++item) {
            ++count;
        }
        log("tree " + QString::number(count));
    } else if (command == "close") {
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            target->windowHandle());
    } else if (command == "type") {
        focusControl(target->window(), target);
        clearText(target);
        typeText(target, step.value(3));
    } else if (command == "key") {
        focusControl(target->window(), target);
        QTest::keyClick(target, keyNamed(step.value(3)));
    } else if (command == "click" || command == "answer") {
        QWidget* spot = clickTarget(target);
        clickThroughWindow(spot, spot->rect().center());
    } else if (command == "menu") {
        if (QAction* item = menuItem(target, step.value(2))) {
            item->trigger();
        }
    } else if (command == "select") {
        clickTreeNode(target->findChild<QTreeWidget*>(), step.value(2));
    } else if (command == "text") {
        log("text " + step.value(2) + " " + controlText(target).simplified());
    } else if (command == "shot") {
        const QString folder = qEnvironmentVariable("LEXIVO_E2E_SHOTS");
        const QString file = QDir(folder).filePath(step.value(2) + ".png");
        const bool saved = !folder.isEmpty() && QDir().mkpath(folder) && target->grab().save(file);
        log("shot " + step.value(2) + (saved ? "" : " not saved"));
    }
}

void ScriptDriver::performOnPage(const QStringList& step, QWidget* window) {
    const QString command = step.value(0);
    QWebEngineView* view = webView(window, step.value(3).toInt());
    if (command == "pagetext") {
        log("pagetext " + step.value(2) + " " + m_foundText);
    } else if (view && (command == "link" || command == "clickpage")) {
        const QString selector =
            command == "link" ? QStringLiteral("a[href=\"%1\"]").arg(step.value(2)) : step.value(2);
        view->page()->runJavaScript(elementScript(selector, "e.click()"));
    }
}
