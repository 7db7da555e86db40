#include "shared/enginelocator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <QDir>
#include <QLabel>
#include <QTimer>

#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "tests/support/tempbase.h"

namespace {

const QString kLookupPath = "/p_all_webengine_get.asp";
const QString kEnginePath = "/engine/p_passWebEngine_conn.asp";

// Answers message 16001 through its real buttons; before each answer it
// notes what the window showed and lets the test change the stand-in.
class EngineQuestionAnswerer {
public:
    EngineQuestionAnswerer(const QString& answer, std::function<void(int asked)> beforeAnswer)
        : m_answer(answer), m_beforeAnswer(std::move(beforeAnswer)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answerShownQuestion(); });
        m_timer.start();
    }

    int asked() const { return m_asked; }
    QStringList captions() const { return m_captions; }
    bool offeredCancel() const { return m_offeredCancel; }

private:
    void answerShownQuestion() {
        if (!messageButton(m_answer)) {
            return;
        }
        ++m_asked;
        m_captions.append(shownMessage()->lblCaption->text());
        m_offeredCancel = messageButton("CANCEL") && messageButton("OK");
        m_beforeAnswer(m_asked);
        clickMessageButton(m_answer);
    }

    QString m_answer;
    std::function<void(int)> m_beforeAnswer;
    QTimer m_timer;
    int m_asked = 0;
    QStringList m_captions;
    bool m_offeredCancel = false;
};

class EngineLocatorTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        gStartupDone = false;
        ASSERT_TRUE(m_standin.start());
        gWebEngineLookupURL = m_standin.baseUrl();
        gWebEngineURL.clear();
    }
    void TearDown() override {
        m_standin.stop();
        TempBaseTest::TearDown();
    }

    QString engineBase() const { return m_standin.baseUrl() + "engine/"; }
    int requestsTo(const QString& path) { return int(loggedPaths(m_standin).count(path)); }

    StandinProcess m_standin;
};

TEST_F(EngineLocatorTest, TheLookupNamesTheEngineWithoutItsMarkAndBlanks) {
    EXPECT_EQ(GetWebEngineServer(gWebEngineLookupURL), engineBase());
    m_standin.setMode("p_all_webengine_get.asp", "err:OK_  http://engine.test/OK_x/  ");
    EXPECT_EQ(GetWebEngineServer(gWebEngineLookupURL), "http://engine.test/x/");
    m_standin.setMode("p_all_webengine_get.asp", "err:OKAY http://engine.test/");
    EXPECT_EQ(GetWebEngineServer(gWebEngineLookupURL), "OKAY http://engine.test/");
    m_standin.setMode("p_all_webengine_get.asp", "err:ERR_NOENGINE");
    EXPECT_EQ(GetWebEngineServer(gWebEngineLookupURL), "");
    m_standin.setMode("p_all_webengine_get.asp", "err:ok_http://engine.test/");
    EXPECT_EQ(GetWebEngineServer(gWebEngineLookupURL), "");
    m_standin.setMode("p_all_webengine_get.asp", "offline");
    EXPECT_FALSE(GetWebEngineServer(gWebEngineLookupURL).has_value());

    const QList<StandinRequest> requests = m_standin.log();
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_EQ(requests.first().path, kLookupPath);
    EXPECT_EQ(requests.first().body, "key=quillmarrowed");
}

TEST_F(EngineLocatorTest, AFoundEngineIsTestedOnceMoreBeforeTheCheckGoesOn) {
    EXPECT_TRUE(CheckWebEngineConn(true));
    EXPECT_EQ(gWebEngineURL, engineBase());
    EXPECT_EQ(loggedPaths(m_standin), (QStringList{kLookupPath, kEnginePath, kEnginePath}));
    EXPECT_EQ(m_standin.log().last().body, "key=quillmarrowed");
}

TEST_F(EngineLocatorTest, WithoutReconnectingOneRequestAndNoMessage) {
    gWebEngineURL = engineBase();
    EXPECT_TRUE(CheckWebEngineConn(false));
    m_standin.setMode("p_passWebEngine_conn.asp", "err:online");
    EXPECT_FALSE(CheckWebEngineConn(false));
    m_standin.setMode("p_passWebEngine_conn.asp", "offline");
    EXPECT_FALSE(CheckWebEngineConn(false));
    EXPECT_EQ(loggedPaths(m_standin), (QStringList{kEnginePath, kEnginePath, kEnginePath}));

    gWebEngineURL.clear();
    EXPECT_FALSE(CheckWebEngineConn(false));
    EXPECT_EQ(loggedPaths(m_standin).size(), 3);
    EXPECT_EQ(shownMessage(), nullptr);
}

TEST_F(EngineLocatorTest, AnUnreachableLookupServerEndsTheSearchAtOnce) {
    gWebEngineURL = "http://before.test/";
    gWebEngineLookupURL = unusedLoopbackBase();
    EXPECT_FALSE(CheckWebEngineConn(true));
    EXPECT_EQ(gWebEngineURL, "http://before.test/");

    gWebEngineLookupURL.clear();
    EXPECT_FALSE(CheckWebEngineConn(true));
    EXPECT_EQ(shownMessage(), nullptr);
}

TEST_F(EngineLocatorTest, TenLookupsNamingNoEngineAskAndOkGivesTenMore) {
    m_standin.setMode("p_all_webengine_get.asp", "err:ERR_NOENGINE");
    QList<int> lookupsWhenAsked;
    EngineQuestionAnswerer answerer("OK", [&](int asked) {
        lookupsWhenAsked.append(requestsTo(kLookupPath));
        if (asked == 2) {
            m_standin.setMode("p_all_webengine_get.asp", "normal");
        }
    });

    EXPECT_TRUE(CheckWebEngineConn(true));
    EXPECT_EQ(lookupsWhenAsked, (QList<int>{10, 20}));
    EXPECT_EQ(requestsTo(kLookupPath), 21);
    EXPECT_EQ(requestsTo(kEnginePath), 2);
    EXPECT_EQ(answerer.captions(), (QStringList{"詢問", "詢問"}));
    EXPECT_TRUE(answerer.offeredCancel());
    EXPECT_EQ(gWebEngineURL, engineBase());
}

TEST_F(EngineLocatorTest, AnEngineThatDoesNotAnswerIsAFailedTry) {
    m_standin.setMode("p_passWebEngine_conn.asp", "offline");
    EngineQuestionAnswerer answerer("OK", [&](int) {
        EXPECT_EQ(requestsTo(kLookupPath), 10);
        EXPECT_EQ(requestsTo(kEnginePath), 10);
        m_standin.setMode("p_passWebEngine_conn.asp", "normal");
    });

    EXPECT_TRUE(CheckWebEngineConn(true));
    EXPECT_EQ(answerer.asked(), 1);
    EXPECT_EQ(requestsTo(kLookupPath), 11);
}

// Giving up ends the process at once, so the learner's Cancel runs in a
// child process of its own. That end skips every destructor: before it
// answers, the child stops its stand-in and removes its temporary folders.
[[noreturn]] void cancelTheQuestion(StandinProcess& standin, const QString& basePath) {
    standin.setMode("p_all_webengine_get.asp", "err:ERR_NOENGINE");
    EngineQuestionAnswerer answerer("CANCEL", [&](int asked) {
        const int lookups = int(loggedPaths(standin).count(kLookupPath));
        standin.stop();
        QDir(standin.dataDir()).removeRecursively();
        QDir(basePath).removeRecursively();
        std::fprintf(stderr, "question %d after %d lookups\n", asked, lookups);
        std::fflush(stderr);
    });
    const bool found = CheckWebEngineConn(true);
    std::fprintf(stderr, "the check went on: found=%d ending=%d\n", found, waits::ending());
    std::fflush(stderr);
    std::_Exit(1);
}

TEST_F(EngineLocatorTest, CancelEndsTheProgramAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(cancelTheQuestion(m_standin, basePath()), ::testing::ExitedWithCode(0),
                "question 1 after 10 lookups");
}

}  // namespace
