#pragma once

#include <QFile>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

class QWidget;

// Plays a script of learner actions inside the running program: each line
// waits until it can act (its window is shown, its message is up) and then
// types, clicks or answers through the real widgets. What the program shows
// meanwhile (every window of ours, every message) is written to a log that
// the end-to-end test reads after the program has ended.
//
// Script lines, fields separated by tabs:
//   wait   CLASS                  a window of the class is shown
//   type   CLASS  OBJECT  TEXT    empties the named box, then types TEXT
//   key    CLASS  OBJECT  KEY     presses Return, Tab or Escape there
//   click  CLASS  OBJECT          clicks the named control
//   answer OK|CANCEL|YES|NO       clicks that button of the shown message
//   loaded CLASS                  the window's page has loaded
//   link   CLASS  HREF            follows the page's link with that address
//   tree   CLASS                  logs "tree N", the tree's node count
//   close  CLASS                  closes the window as its close box does
class ScriptDriver : public QObject {
    Q_OBJECT

public:
    ScriptDriver(const QString& scriptFile, const QString& logFile);

private:
    void tick();
    void logNewWindows();
    // The control that the step acts on once it can act, else nullptr (the
    // window itself for steps on a whole window).
    QWidget* readyTarget(const QStringList& step);
    // Whether a script condition holds in the window's page.
    bool pageSays(QWidget* window, const QString& condition);
    void perform(const QStringList& step, QWidget* target);
    void log(const QString& line);

    QStringList m_steps;
    int m_next = 0;
    QFile m_log;
    QTimer m_timer;
    QSet<QWidget*> m_seenWindows;
    QWidget* m_loggedMessage = nullptr;
    QString m_loggedMessageText;
    // A page asked about a condition answers later.
    enum class PageAnswer { None, Asked, Yes, No };
    PageAnswer m_pageAnswer = PageAnswer::None;
};
