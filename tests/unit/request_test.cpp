#include "shared/request.h"

#include <gtest/gtest.h>

#include "platform/big5.h"
#include "platform/http.h"
#include "shared/globals.h"
#include "tests/support/servicelog.h"
#include "tests/support/tempbase.h"

namespace {

TEST(BytesToBstrTest, DecodesAsciiAndBig5PairsCharacterByCharacter) {
    const QString text = BytesToBstr(QByteArray("\x4F\x4B\x5F\xA4\x40"));
    EXPECT_EQ(text.size(), 4);
    EXPECT_EQ(text, QString("OK_") + QChar(0x4E00));
    EXPECT_EQ(BytesToBstr(QByteArray()), "");
    EXPECT_EQ(BytesToBstr("ONLINE#2011/3/1"), "ONLINE#2011/3/1");
}

TEST(BytesToBstrTest, ALeadByteAlwaysTakesTheNextByteAsItsTrail) {
    // 0xA4 0x0A is no Big5 character: one "?", and the line break is gone.
    EXPECT_EQ(BytesToBstr(QByteArray("A\xA4\nB")), "A?B");
}

TEST(BytesToBstrTest, ALoneLeadByteAtTheEndBecomesAQuestionMark) {
    EXPECT_EQ(BytesToBstr(QByteArray("OK\xA4")), "OK?");
    EXPECT_EQ(BytesToBstr(QByteArray("\xA4\x40\xA4")), QString(QChar(0x4E00)) + "?");
}

TEST(RequestFormTest, KeyFirstThenTheFieldsInOrderWithRawValues) {
    EXPECT_EQ(RequestForm(), "key=quillmarrowed");
    EXPECT_EQ(RequestForm({{"courseId", "DEMO"}, {"pno", "a&b=c d"}}),
              "key=quillmarrowed&courseId=DEMO&pno=a&b=c d");
}

class RequestTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        ASSERT_TRUE(m_standin.start());
        gServerURL = m_standin.baseUrl();
    }
    void TearDown() override {
        http::setTimeouts(m_connectMs, m_totalMs);
        m_standin.stop();
        TempBaseTest::TearDown();
    }

    StandinProcess m_standin;
    const int m_connectMs = http::connectTimeoutMs();
    const int m_totalMs = http::totalTimeoutMs();
};

TEST_F(RequestTest, PostsTheFormAsBig5BytesWithTheBig5ContentType) {
    const QString form = RequestForm({{"sentence", QString::fromUtf8("我 a&b=c")}});
    ASSERT_TRUE(PostRequest(gServerURL + "p_getconn.asp", form).has_value());

    const QList<StandinRequest> requests = m_standin.log();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/p_getconn.asp");
    EXPECT_EQ(requests[0].body, big5::encode(form));
    EXPECT_EQ(requests[0].body, QByteArray("key=quillmarrowed&sentence=\xA7\xDA a&b=c"));
    EXPECT_EQ(requests[0].contentType, "text/xml; charset=big5");
}

TEST_F(RequestTest, TheQueryFormCarriesTheFieldsInTheAddressAndAnEmptyBody) {
    const QString form = RequestForm({{"pno", "DEMO0001"}, {"courseId", "DEMO"}});
    ASSERT_TRUE(PostQueryRequest(gServerURL + "p_getconn.asp", form).has_value());

    const QList<StandinRequest> requests = m_standin.log();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].query, "key=quillmarrowed&pno=DEMO0001&courseId=DEMO");
    EXPECT_TRUE(requests[0].body.isEmpty());

    // A blank would end the address on the request line.
    ASSERT_TRUE(m_standin.clearLog());
    ASSERT_TRUE(
        PostQueryRequest(gServerURL + "p_getconn.asp", RequestForm({{"pno", "A B"}})).has_value());
    ASSERT_EQ(m_standin.log().size(), 1);
    EXPECT_EQ(m_standin.log()[0].query, "key=quillmarrowed&pno=A%20B");
}

TEST_F(RequestTest, TheReplyComesBackUnchanged) {
    m_standin.setMode("p_getcourse.asp", "err: OK_x#1 \r\n");
    EXPECT_EQ(PostRequest(gServerURL + "p_getcourse.asp", RequestForm()), " OK_x#1 \r\n");
}

// Redirects are followed, so a 3xx that arrives leads nowhere.
TEST_F(RequestTest, OnlyAnAnswerWithA2xxStatusIsAReply) {
    for (const int status : {200, 299}) {
        m_standin.setMode("p_getconn.asp", "status:" + QString::number(status));
        EXPECT_EQ(PostRequest(gServerURL + "p_getconn.asp", RequestForm()),
                  "status " + QString::number(status));
    }
    for (const int status : {199, 300, 404, 500}) {
        m_standin.setMode("p_getconn.asp", "status:" + QString::number(status));
        EXPECT_FALSE(PostRequest(gServerURL + "p_getconn.asp", RequestForm())) << status;
    }
    EXPECT_FALSE(PostRequest(gServerURL + "no_such_script.asp", RequestForm()));
}

TEST_F(RequestTest, PostsThatGetNoCompleteAnswerFail) {
    EXPECT_FALSE(PostRequest("p_getconn.asp", RequestForm()).has_value());
    EXPECT_FALSE(PostRequest(unusedLoopbackBase() + "p_getconn.asp", RequestForm()).has_value());
    m_standin.setMode("p_getconn.asp", "offline");
    EXPECT_FALSE(PostRequest(gServerURL + "p_getconn.asp", RequestForm()).has_value());
    http::setTimeouts(1000, 1000);
    m_standin.setMode("p_getconn.asp", "silent");
    EXPECT_FALSE(PostRequest(gServerURL + "p_getconn.asp", RequestForm()).has_value());
}

TEST_F(RequestTest, TheServiceIsOnlineOnlyWhenItsReplyStartsWithOnline) {
    EXPECT_TRUE(IsServerOnline());
    m_standin.setMode("p_getconn.asp", "err:ONLINE");
    EXPECT_TRUE(IsServerOnline());
    m_standin.setMode("p_getconn.asp", "err:online#2011/3/1");
    EXPECT_FALSE(IsServerOnline());
    m_standin.setMode("p_getconn.asp", "err:ONLIN");
    EXPECT_FALSE(IsServerOnline());
    m_standin.setMode("p_getconn.asp", "err:");
    EXPECT_FALSE(IsServerOnline());
    m_standin.setMode("p_getconn.asp", "garbage");
    EXPECT_FALSE(IsServerOnline());
    m_standin.setMode("p_getconn.asp", "offline");
    EXPECT_FALSE(IsServerOnline());
}

TEST_F(RequestTest, TheOnlineTestPostsTheKeyAloneAndFailsWithoutABaseAddress) {
    EXPECT_TRUE(IsServerOnline());
    const QList<StandinRequest> requests = m_standin.log();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].path, "/p_getconn.asp");
    EXPECT_EQ(requests[0].body, "key=quillmarrowed");

    gServerURL.clear();
    EXPECT_FALSE(IsServerOnline());
}

}  // namespace
