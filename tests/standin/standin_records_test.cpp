#include "tests/standin/standintest.h"

class StandinRecordsTest : public StandinTest {
protected:
    QString uploadLxv(const QString& qcode, const QString& flag, const QString& errcode,
                      const QString& sentence, const QString& pno = "DEMO0001",
                      const QString& password = "demo") {
        return formPost("p_lxv_proc_sentence.asp", {{"pno", pno},
                                                    {"pass", password},
                                                    {"courseId", "DEMO"},
                                                    {"qcode", qcode},
                                                    {"flag", flag},
                                                    {"errcode", errcode},
                                                    {"s", sentence}});
    }
    QString sync(const QString& kind, const QString& pno, const QString& fromPno = QString()) {
        Fields fields = {{"tp", kind}, {"courseId", "DEMO"}, {"pno", pno}};
        if (kind == "ok") {
            fields.append({"frompno", fromPno});
        }
        return request("p_lxv_sync_client.asp", fields);
    }
    QString progress(const QString& pno) {
        return page("//p_lxv_getprogress.asp?key=quillmarrowed&pno=" + pno + "&courseid=DEMO");
    }
};

static QString today() {
    const QDate date = QDate::currentDate();
    return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
}

TEST_F(StandinRecordsTest, UploadsComeBackThroughSync) {
    EXPECT_TRUE(uploadLxv("U1000101", "3", "0", "It’s my book.").contains("OK_FINISH"));
    uploadLxv("U1000101", "3", "0", "It’s my book.");
    uploadLxv("U1000102", "2", "AG001", "She like apples.");

    const QStringList correct = sync("ok", "DEMO0001").split("<@>");
    ASSERT_EQ(correct.size(), 2);  // one record, then the empty end
    EXPECT_EQ(correct[0].section('#', 1), "U1000101#It’s my book.#" + today());
    EXPECT_EQ(correct[1], "");

    EXPECT_EQ(sync("err", "DEMO0001"), "AG001#U1000102#She *like* apples.#" + today() + "<@>");
    EXPECT_EQ(progress("DEMO0001"), "U1000101:3,U1000102:2,");
    EXPECT_EQ(sync("ok", "NOBODY"), "ERR_NOTFOUND");
    EXPECT_EQ(sync("other", "DEMO0001"), "ERR_TYPE");
}

TEST_F(StandinRecordsTest, ProgressNeverMovesBack) {
    uploadLxv("U1000101", "3", "0", "My name is Amy.");
    uploadLxv("U1000101", "2", "CP001", "my name is Amy.");
    EXPECT_EQ(progress("DEMO0001"), "U1000101:3,");
}

TEST_F(StandinRecordsTest, AnUploadWithAWrongPasswordIsNotKept) {
    EXPECT_TRUE(
        uploadLxv("U1000101", "3", "0", "Hi.", "DEMO0001", "nope").contains("ERR_WRONG_PASSWORD"));
    EXPECT_TRUE(uploadLxv("U1000101", "3", "0", "Hi.", "NOBODY", "demo").contains("ERR_NOTFOUND"));
    EXPECT_EQ(standin.state("ok_sentences").size(), 1);  // the column names alone
}

TEST_F(StandinRecordsTest, ServerEditionUploadsFeedProgressAndErrorCounts) {
    const auto upload = [this](const QString& qcode, const QString& flag, const QString& code,
                               const QString& sentence) {
        formPost("p_proc_sentence.asp", {{"regid", "DEMOQ001"},
                                         {"pass", "demo"},
                                         {"courseId", "DEMO"},
                                         {"qcode", qcode},
                                         {"flag", flag},
                                         {"errcode", code},
                                         {"s", sentence}});
    };
    upload("U1000201", "2", "PU001", "I get up at seven");
    upload("U1000201", "2", "PU001", "I get up at six");
    upload("U1000202", "2", "DW001", "I I go to school.");
    upload("U1000202", "3", "0", "I go to school.");

    EXPECT_EQ(page("//p_getprogress.asp?key=quillmarrowed&regid=DEMOQ001&courseid=DEMO"),
              "U1000201:2,U1000202:3,");
    EXPECT_EQ(page("//p_getmistakes.asp?key=quillmarrowed&regid=DEMOQ001&courseid=DEMO"),
              "DW001:1,PU001:2,");
    EXPECT_EQ(page("/p_getmistakes.asp?key=quillmarrowed&regid=NOBODY&courseid=DEMO"),
              "ERR_NOTFOUND");
}

TEST_F(StandinRecordsTest, ImportMergesTheOtherAccountOnce) {
    uploadLxv("U1000301", "2", "AR001", "It is a easy test.", "OLD00001", "old1234");
    uploadLxv("U1000302", "3", "0", "It rains today.", "OLD00001", "old1234");
    uploadLxv("U1000101", "3", "0", "My name is Amy.");

    sync("ok", "DEMO0001", "OLD00001");
    const QStringList correct = sync("ok", "DEMO0001", "OLD00001").split("<@>");
    EXPECT_EQ(correct.size(), 3);
    const QStringList wrong = sync("err", "DEMO0001").split("<@>");
    ASSERT_EQ(wrong.size(), 2);
    EXPECT_TRUE(wrong[0].startsWith("AR001#U1000301#It is *a easy* test.#"));
    EXPECT_EQ(progress("DEMO0001"), "U1000101:3,U1000301:2,U1000302:3,");
    EXPECT_EQ(progress("OLD00001"), "U1000301:2,U1000302:3,");
}

TEST_F(StandinRecordsTest, ResetClearsOneKindOfRecord) {
    uploadLxv("U1000101", "2", "CP001", "my name is Amy.");
    uploadLxv("U1000101", "3", "0", "My name is Amy.");
    const auto reset = [this](const QString& kind) {
        return request("p_lxv_proc_reset.asp",
                       {{"tp", kind}, {"courseId", "DEMO"}, {"pno", "DEMO0001"}});
    };
    EXPECT_EQ(reset("error"), "OK_");
    EXPECT_EQ(sync("err", "DEMO0001"), "");
    EXPECT_NE(sync("ok", "DEMO0001"), "");
    EXPECT_EQ(reset("sentence"), "OK_");
    EXPECT_EQ(sync("ok", "DEMO0001"), "");
    EXPECT_EQ(progress("DEMO0001"), "U1000101:3,");
    EXPECT_EQ(reset("progress"), "OK_");
    EXPECT_EQ(progress("DEMO0001"), "");
    EXPECT_EQ(reset("everything"), "ERR_TYPE");
}
