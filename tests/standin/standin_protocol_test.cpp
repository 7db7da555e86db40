#include <httplib.h>

#include <QByteArray>
#include <QThread>
#include <thread>

#include "platform/big5.h"
#include "tests/standin/standintest.h"

class StandinProtocolTest : public StandinTest {};

TEST_F(StandinProtocolTest, AnswersTheOnlineTestUnderEveryFormOfTheAddress) {
    EXPECT_TRUE(request("p_getconn.asp", {}).startsWith("ONLINE#"));
    EXPECT_TRUE(request("serverside/p_getconn.asp", {}).startsWith("ONLINE#"));
    EXPECT_TRUE(big5::decode(standin.post("//p_getconn.asp", "key=quillmarrowed").body)
                    .startsWith("ONLINE#"));
    EXPECT_EQ(standin.post("/no_such_script.asp", "key=quillmarrowed").status, 404);
}

TEST_F(StandinProtocolTest, RefusesARequestWhoseFirstFieldIsNotTheKey) {
    EXPECT_EQ(standin.post("/p_getconn.asp", "").body, "ERR_KEY");
    EXPECT_EQ(standin.post("/p_getconn.asp", "key=quillmarrowe").body, "ERR_KEY");
    EXPECT_EQ(standin.post("/p_getconn.asp", "a=1&key=quillmarrowed").body, "ERR_KEY");
    EXPECT_EQ(standin.get("/p_getprogress.asp?regid=DEMOQ001&key=quillmarrowed").body, "ERR_KEY");
}

TEST_F(StandinProtocolTest, ReadsRawValuesAsBig5WithoutDecodingEscapes) {
    // A first password holding "%41", "+" and a Chinese character is kept
    // exactly as its Big5 bytes say.
    EXPECT_TRUE(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "a%41+b字"}})
                    .startsWith("SET_"));
    EXPECT_TRUE(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "a%41+b字"}})
                    .startsWith("OK_"));
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "aA b字"}}),
              "ERR_WRONG_PASSWORD");
    // "&" in a value starts a new field, as on the real service.
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "DEMOQ001"}, {"password", "de&mo"}}),
              "ERR_WRONG_PASSWORD");
}

TEST_F(StandinProtocolTest, LogsEveryRequestInOrderWithItsRawBody) {
    const QByteArray body = "key=quillmarrowed&password=" + big5::encode("字");
    standin.post("/p_getlogin.asp", body, "text/xml; charset=big5");
    standin.post("//p_lxv_getprogress.asp?key=quillmarrowed&pno=DEMO0001&courseid=DEMO", "");
    standin.setMode("p_getconn.asp", "normal");

    const QList<StandinRequest> log = standin.log();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].method, "POST");
    EXPECT_EQ(log[0].path, "/p_getlogin.asp");
    EXPECT_EQ(log[0].body, body);
    EXPECT_EQ(log[0].contentType, "text/xml; charset=big5");
    EXPECT_EQ(log[1].path, "//p_lxv_getprogress.asp");
    EXPECT_EQ(log[1].query, "key=quillmarrowed&pno=DEMO0001&courseid=DEMO");
    EXPECT_TRUE(log[1].body.isEmpty());

    EXPECT_TRUE(standin.clearLog());
    EXPECT_TRUE(standin.log().isEmpty());
}

TEST_F(StandinProtocolTest, ErrorAndGarbageModesReplaceTheAnswer) {
    ASSERT_TRUE(standin.setMode("p_getversion.asp", "err:ERR_BUSY"));
    EXPECT_EQ(request("p_getversion.asp", {{"type", "lxv"}}), "ERR_BUSY");

    ASSERT_TRUE(standin.setMode("p_getversion.asp", "garbage"));
    const QByteArray garbage = standin.post("/p_getversion.asp", "key=quillmarrowed&type=lxv").body;
    EXPECT_FALSE(garbage.isEmpty());
    EXPECT_FALSE(garbage.startsWith("OK") || garbage.startsWith("ERR"));
    EXPECT_GE(quint8(garbage.back()), 0x80);  // a Big5 lead byte with no trail byte

    ASSERT_TRUE(standin.setMode("p_getversion.asp", "normal"));
    EXPECT_EQ(request("p_getversion.asp", {{"type", "lxv"}}), "2.1.0");
    EXPECT_FALSE(standin.setMode("p_getversion.asp", "sometimes"));
    // An answer's status is one that HTTP has.
    for (const char* status : {"status:99", "status:600", "status:x"}) {
        EXPECT_FALSE(standin.setMode("p_getversion.asp", status)) << status;
    }
    EXPECT_TRUE(standin.setMode("p_getversion.asp", "status:100"));
    ASSERT_TRUE(standin.setMode("p_getversion.asp", "status:599"));
    // The answer has a body, which a download must not take for the file.
    const StandinReply reply = standin.post("/p_getversion.asp", "key=quillmarrowed&type=lxv");
    EXPECT_EQ(reply.status, 599);
    EXPECT_EQ(reply.body, "status 599");
}

TEST_F(StandinProtocolTest, OfflineModeDropsTheConnectionUnanswered) {
    ASSERT_TRUE(standin.setMode("p_getconn.asp", "offline"));
    EXPECT_FALSE(standin.post("/p_getconn.asp", "key=quillmarrowed").answered);
    EXPECT_FALSE(standin.post("/serverside/p_getconn.asp", "key=quillmarrowed").answered);
    EXPECT_TRUE(request("p_getversion.asp", {{"type", "lxv"}}) == "2.1.0");
}

TEST_F(StandinProtocolTest, ModeForAnExactPathLeavesTheSameScriptElsewhere) {
    ASSERT_TRUE(standin.setMode("/p_getconn.asp", "offline"));
    EXPECT_FALSE(standin.post("/p_getconn.asp", "key=quillmarrowed").answered);
    EXPECT_TRUE(request("serverside/p_getconn.asp", {}).startsWith("ONLINE"));
}

TEST_F(StandinProtocolTest, SilentModeNeverAnswersAndKeepsNoWorkerOnceTheClientLeaves) {
    ASSERT_TRUE(standin.setMode("p_getconn.asp", "silent"));
    // More abandoned waits than the stand-in has workers.
    for (int i = 0; i < 34; ++i) {
        ASSERT_FALSE(
            standin.post("/p_getconn.asp", "key=quillmarrowed", "text/plain", 100).answered);
    }
    EXPECT_EQ(request("p_getversion.asp", {{"type", "lxv"}}), "2.1.0");
}

TEST_F(StandinProtocolTest, AHoldKeepsOnlyTheNamedRequestUnansweredAndUnrun) {
    EXPECT_FALSE(standin.hold("p_all_setmemo.asp", -1));
    ASSERT_TRUE(standin.hold("p_all_setmemo.asp", 2));
    const QByteArray put = "key=quillmarrowed&act=PUT&pno=DEMO0001&courseId=DEMO&setmemo=";
    EXPECT_TRUE(standin.post("/p_all_setmemo.asp", put + "20@2024/3/1@2024/3/21").answered);
    EXPECT_FALSE(
        standin.post("/p_all_setmemo.asp", put + "40@2024/3/1@2024/4/10", "text/plain", 300)
            .answered);
    EXPECT_EQ(
        request("p_all_setmemo.asp", {{"act", "GET"}, {"pno", "DEMO0001"}, {"courseId", "DEMO"}}),
        "OK#20@2024/3/1@2024/3/21");
}

TEST_F(StandinProtocolTest, AHeldScriptAnswersTheOtherRequestsAsItsModeSays) {
    ASSERT_TRUE(standin.setMode("p_getconn.asp", "offline"));
    ASSERT_TRUE(standin.hold("p_getconn.asp", 2));
    EXPECT_FALSE(standin.post("/p_getconn.asp", "key=quillmarrowed").answered);
    EXPECT_FALSE(standin.post("/p_getconn.asp", "key=quillmarrowed", "text/plain", 300).answered);
    ASSERT_TRUE(standin.setMode("p_getconn.asp", "normal"));
    EXPECT_TRUE(request("p_getconn.asp", {}).startsWith("ONLINE#"));
    ASSERT_TRUE(standin.hold("p_getconn.asp", 1));
    ASSERT_TRUE(standin.hold("p_getconn.asp", 0));
    EXPECT_TRUE(request("p_getconn.asp", {}).startsWith("ONLINE#"));
}

TEST_F(StandinProtocolTest, SilentModeSendsNoAnswerEvenWhenTheStandinStops) {
    ASSERT_TRUE(standin.setMode("p_getconn.asp", "silent"));
    bool answered = true;
    std::thread waiting([&answered, port = standin.port()] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(20);
        answered = bool(client.Post("/p_getconn.asp", "key=quillmarrowed", "text/plain"));
    });
    QThread::msleep(300);
    standin.stop();
    waiting.join();
    EXPECT_FALSE(answered);
    EXPECT_FALSE(standin.isRunning());
}

TEST_F(StandinProtocolTest, KeepsItsStoreAcrossARestart) {
    ASSERT_TRUE(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "abcd"}})
                    .startsWith("SET_"));
    standin.stop();
    ASSERT_TRUE(standin.start(standinDataDir()));
    EXPECT_TRUE(
        request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "abcd"}}).startsWith("OK_"));
}
