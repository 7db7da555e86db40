#pragma once

#include <optional>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QVariant>

class QWebEngineView;
class QWidget;

// Plays a script of learner actions inside the running program: each line
// waits until it can act (its window is shown, enabled and done with the
// step before unless that step waits for a message's answer, its message is
// up, its page holds what it needs) and then types, clicks or answers. Clicks
// and closes come through the platform window, as the learner's mouse and
// window manager deliver them. What the program shows meanwhile (every
// window of ours, every message) and the steps still running when another
// one starts are written to a log that the end-to-end test reads after the
// program has ended. A message is logged as it is shown, so that every
// message and please-wait box is in the log, however short its stay.
//
// LEXIVO_E2E_KILL_MESSAGE and LEXIVO_E2E_KILL_OCCURRENCE (N, from 1) make
// the program end with SIGKILL while it waits at the N-th showing of that
// message (its text as the log writes it after "message "): at the first
// event that runs once the message is up, after the log has been written.
// LEXIVO_E2E_KILL_FILE names a file whose coming into being ends the
// program so at its next wait.
//
// Script lines, fields separated by tabs:
//   wait      CLASS                    a window of the class is shown
//   type      CLASS  CONTROL  TEXT     empties the box, then types TEXT
//   key       CLASS  CONTROL  KEY      presses Return, Tab or Escape there
//   click     CLASS  CONTROL           clicks the control
//   ready     CLASS  CONTROL|ITEM      the control or menu item is shown and
//                                      enabled
//   answer    OK|CANCEL|YES|NO [START] clicks that button of the shown
//                                      message (one whose text begins START)
//   menu      CLASS  ITEM              triggers the window's menu item
//   select    CLASS  NODE              clicks the tree's node with that text
//   loaded    CLASS  [VIEW]            the page has loaded
//   link      CLASS  HREF  [VIEW]      follows the page's link with that address
//   clickpage CLASS  SELECTOR [VIEW]   clicks the page's element (CSS selector)
//   waitpage  CLASS  CONDITION [VIEW]  a script condition holds in the page
//   pagetext  CLASS  SELECTOR [VIEW]   logs "pagetext SELECTOR TEXT" once the
//                                      element is there
//   text      CLASS  CONTROL           logs "text CONTROL TEXT" (a tree's: its
//                                      current node's)
//   tree      CLASS                    logs "tree N", the tree's node count
//   shot      CLASS  NAME              saves the window's picture as NAME.png
//                                      in the folder LEXIVO_E2E_SHOTS names
//   close     CLASS                    closes the window as the window manager
//                                      does
//
// CONTROL is an object name, the text of a visible button or label, or
// "QtClass:N", the window's N-th visible control of that Qt class (from 0,
// in the order of the window's children). ITEM is a menu item's text or
// object name. VIEW is the index of a web view among the window's visible
// ones, 0 when left out. Page text is logged with its white space folded.
class ScriptDriver : public QObject {
    Q_OBJECT

public:
    ScriptDriver(const QString& scriptFile, const QString& logFile);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void tick();
    void logNewWindows();
    void logMessage(QWidget* message);
    // Ends the program when the message just logged is the one to die at.
    void killAtMessage(const QString& text);
    static void killNow();
    // The widget that the step acts on once it can act, else nullptr (the
    // window itself for steps on a whole window).
    QWidget* readyTarget(const QStringList& step);
    QWidget* readyPageTarget(const QStringList& step, QWidget* window);
    // The value of a script in a page once it has come back; the page is
    // asked on the first call and answers to a later one.
    std::optional<QVariant> pageValue(QWebEngineView* view, const QString& script);
    void perform(const QStringList& step, QWidget* target);
    void performOnPage(const QStringList& step, QWidget* window);
    void log(const QString& line);

    // Whether a step on the window is still acting.
    bool isActing(const QWidget* window) const;

    QStringList m_steps;
    int m_next = 0;
    // The steps still acting, innermost last, with their windows. A step on
    // such a window waits until that action has ended, as the events that it
    // runs meanwhile are for the other windows (the messages and dialogs that
    // it opens), unless the action waits for the answer of a message: the
    // learner may then act anywhere, also on that window (close it).
    struct RunningStep {
        QString step;
        QPointer<QWidget> window;
    };
    QList<RunningStep> m_runningSteps;
    // A step whose action has not started yet: the next one is not looked
    // at before, as what it finds may be gone by then (a message that the
    // action answers).
    bool m_actionWaiting = false;
    QFile m_log;
    QTimer m_timer;
    QSet<QWidget*> m_seenWindows;
    QWidget* m_loggedMessage = nullptr;
    QString m_loggedMessageText;
    QHash<QString, int> m_messageCounts;
    QString m_killMessage;
    int m_killOccurrence = 0;
    QString m_killFile;

    // The one question put to a page at a time, and its answer once it came.
    struct PageQuestion {
        QPointer<QWebEngineView> view;
        QString script;
        bool answered = false;
        QVariant answer;
    };
    std::optional<PageQuestion> m_pageQuestion;
    int m_questionCount = 0;
    QElapsedTimer m_asked;
    // What a pagetext step found, logged when it acts.
    QString m_foundText;
};
