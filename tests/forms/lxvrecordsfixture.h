#pragma once

#include <functional>
#include <map>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "startup/frmSchedule.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmMain.h"

// The main window of the LXV edition on the demo course, its service a
// stand-in, for the tests of the menus, the records sync, the import and
// the study plan.
class LxvRecordsTest : public MainWindowTest {
public:
    static constexpr int kPollIntervalMs = 5;
    static constexpr int kLongWaitMs = 20000;

protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        standin.stop();
    }

    // The window as the start leaves it. The demo course has no plan, so
    // the start shows the plan dialog; keepPlanDialog leaves it open.
    frmMain* openDemo(bool keepPlanDialog = false) {
        frmMain* window = nullptr;
        if (keepPlanDialog) {
            setUpEdition("LXV", standin.baseUrl());
            installDemoCourse();
            setLastCourse("DEMO");
            window = FormInstance<frmMain>::get();
        } else {
            window = makeMainWindow("LXV", standin.baseUrl());
        }
        standin.clearLog();
        return window;
    }

    QString demoPath(const QString& file) const { return basePath() + "/Lexivo2/DEMO/" + file; }
    QString learnerDb() const { return "Data Source=" + demoPath("userData.mdb"); }
    QString courseDb() const { return "Data Source=" + demoPath("LexivoData.mdb"); }
    QString descriptorPath() const { return basePath() + "/Lexivo2/DEMO.lxs"; }
    QStringList descriptorLines() const { return big5::readLines(descriptorPath()); }

    // Rows of a learner table, fields joined by "|", in insertion order.
    QStringList learnerRows(const QString& sql) const {
        QStringList rows;
        db::Recordset records(sql, learnerDb());
        for (; !records.eof(); records.moveNext()) {
            QStringList fields;
            for (int i = 0; i < records.fieldCount(); ++i) {
                fields << records.field(i).toString();
            }
            rows << fields.join('|');
        }
        return rows;
    }
    // Progress by unit id.
    std::map<std::string, std::string> visitedStates() const {
        std::map<std::string, std::string> states;
        db::Recordset rows("select UNITID, VISITED from bswunit", courseDb());
        for (; !rows.eof(); rows.moveNext()) {
            states[rows.text("UNITID").toStdString()] = rows.text("VISITED").toStdString();
        }
        return states;
    }
    void setVisited(const QString& unitId, const QString& state) {
        ASSERT_TRUE(db::execute(
            "update bswunit set VISITED = '" + state + "' where UNITID = '" + unitId + "'",
            courseDb()));
    }
    void runOnLearnerDb(const QString& sql) { ASSERT_TRUE(db::execute(sql, learnerDb())); }

    // A graded sentence of an account as the program uploads it.
    void upload(const QString& pno, const QString& password, const QString& qcode,
                const QString& flag, const QString& errcode, const QString& sentence) {
        ASSERT_TRUE(standin.uploadSentence(pno, password, qcode, flag, errcode, sentence));
    }

    // The bodies (or queries) that reached a script, in order.
    QStringList requestsTo(const QString& script) {
        QStringList texts;
        for (const StandinRequest& request : standin.log()) {
            if (request.path.endsWith(script.toLatin1())) {
                texts << QString::fromLatin1(request.body.isEmpty() ? request.query : request.body);
            }
        }
        return texts;
    }

    StandinProcess standin;
};

// Runs act once on the widget that find() gives, as soon as it is shown;
// the code under test is usually waiting on it meanwhile.
class WhenShown {
public:
    WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
        m_timer.setInterval(LxvRecordsTest::kPollIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this, find, act] {
            QWidget* widget = find();
            if (widget && widget->isVisible()) {
                m_timer.stop();
                m_seen = true;
                act(widget);
            }
        });
        m_timer.start();
    }
    bool seen() const { return m_seen; }

private:
    QTimer m_timer;
    bool m_seen = false;
};

// The mouse moving over a control, as the window system reports it.
inline void sendMouseMove(QWidget* target, const QPoint& local = QPoint(5, 5)) {
    QMouseEvent event(QEvent::MouseMove, QPointF(local), QPointF(target->mapToGlobal(local)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

template <class T>
QWidget* loadedForm() {
    return FormInstance<T>::isLoaded() ? FormInstance<T>::get() : nullptr;
}

// The texts of the please-wait boxes shown while it lives.
class PleaseWaitWatcher : public QObject {
public:
    PleaseWaitWatcher() { qApp->installEventFilter(this); }
    ~PleaseWaitWatcher() override { qApp->removeEventFilter(this); }
    QStringList texts() const { return m_texts; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<frmMessage*>(watched);
        if (box && event->type() == QEvent::Show && !box->picProgress->isHidden()) {
            m_texts << box->lblMessage->text().trimmed();
        }
        return false;
    }

private:
    QStringList m_texts;
};
