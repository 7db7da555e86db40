#include "tests/standin/standintest.h"

class StandinInfoTest : public StandinTest {
protected:
    QString memo(const QString& action, const QString& text) {
        return request("p_all_setmemo.asp", {{"softcode", "lxv"},
                                             {"courseId", "DEMO"},
                                             {"pno", "DEMO0001"},
                                             {"act", action},
                                             {"setmemo", text}});
    }
    void upload(const QString& qcode, const QString& flag, const QString& code,
                const QString& sentence) {
        formPost("p_proc_sentence.asp", {{"regid", "DEMOQ001"},
                                         {"pass", "demo"},
                                         {"courseId", "DEMO"},
                                         {"qcode", qcode},
                                         {"flag", flag},
                                         {"errcode", code},
                                         {"s", sentence}});
    }
};

TEST_F(StandinInfoTest, StudyPlanMemoIsKeptPerAccountAndCourse) {
    EXPECT_EQ(memo("GET", ""), "0");
    EXPECT_EQ(memo("PUT", "40@2011/3/1"), "ERR_MEMO");
    EXPECT_EQ(memo("PUT", "40@2011/3/1@2011/4/9"), "OK#40@2011/3/1@2011/4/9");
    EXPECT_EQ(memo("GET", ""), "OK#40@2011/3/1@2011/4/9");
    EXPECT_EQ(memo("PUT", "60@2011/5/1@2011/6/29"), "OK#60@2011/5/1@2011/6/29");
    EXPECT_EQ(memo("GET", ""), "OK#60@2011/5/1@2011/6/29");
    EXPECT_EQ(memo("DROP", ""), "ERR_ACTION");
}

TEST_F(StandinInfoTest, PublisherNewsNamesAPageThatIsServed) {
    const QString reply = request("p_publisher_news.asp", {{"softcode", "lxv"}});
    ASSERT_EQ(reply, "OK_" + standin.baseUrl() + "news/1.htm");
    EXPECT_TRUE(page("/news/1.htm").contains("歡迎使用 Lexivo"));
    EXPECT_EQ(request("p_publisher_news.asp", {{"softcode", "other"}}), "ERR_NOTFOUND");
}

TEST_F(StandinInfoTest, ProgramVersionsAndTheDatabaseEnginePage) {
    EXPECT_EQ(request("p_getversion.asp", {{"type", "lxv"}}), "2.1.0");
    EXPECT_EQ(request("p_getversion.asp", {{"type", "lxvbig"}}), "2.1.0");
    EXPECT_EQ(request("p_getversion.asp", {{"type", "other"}}), "ERR_NOTFOUND");
    EXPECT_EQ(standin.get("/p_download_ace.asp").status, 200);
}

TEST_F(StandinInfoTest, FeedbackFormIsStored) {
    EXPECT_TRUE(formPost("p_feedback.asp", {{"pno", "DEMO0001"},
                                            {"qcode", "U1000101"},
                                            {"errcode", "0"},
                                            {"sentence", "I like apples."},
                                            {"remarks", "解析有誤 & 'odd'"},
                                            {"email", "me@lexivo.test"}})
                    .contains("OK_FINISH"));
    const QList<QStringList> rows = standin.state("feedback");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].mid(1, 6), QStringList({"DEMO0001", "U1000101", "0", "I like apples.",
                                              "解析有誤 & 'odd'", "me@lexivo.test"}));
}

TEST_F(StandinInfoTest, ProgressPageCountsTheRecords) {
    upload("U1000101", "3", "0", "My name is Amy.");
    upload("U1000102", "2", "PU001", "I am ten");
    const QString progress =
        page("/p_getcalcprogress.asp?key=quillmarrowed&regid=DEMOQ001&courseid=DEMO&tid=1");
    EXPECT_TRUE(progress.contains("id='finished'>1<"));
    EXPECT_TRUE(progress.contains("id='attempted'>1<"));
    EXPECT_TRUE(progress.contains("id='wrong'>1<"));
}

TEST_F(StandinInfoTest, OwnSentencesPageByUnitOrQuestion) {
    upload("U1000101", "3", "0", "My name is <Amy>.");
    const QString base = "/p_show_ok_sentence.asp?key=quillmarrowed&regid=DEMOQ001";
    EXPECT_TRUE(page(base + "&onquiz=Y&flag=0&qcode=U100").contains("My name is &lt;Amy&gt;."));
    EXPECT_TRUE(page(base + "&onquiz=Y&flag=1&qcode=U1000101").contains("My name is"));
    EXPECT_TRUE(page(base + "&onquiz=Y&flag=1&qcode=U1000102").contains("抱歉！本題無歷史造句。"));
    EXPECT_TRUE(page(base + "&onquiz=N&flag=0&qcode=U200").contains("抱歉！本單元無歷史造句。"));
    EXPECT_TRUE(
        page(base + "&onquiz=N&flag=1&qcode=U100").contains("選項非題型項目，無法提供歷史造句。"));
    EXPECT_FALSE(page(base + "&onquiz=Y&flag=0&qcode=U1%25").contains("My name is"));
}

TEST_F(StandinInfoTest, WrongSentencesPageMarksTheFaults) {
    upload("U1000102", "2", "AG001", "He like apples.");
    const QString wrong =
        page("/p_show_err_sentence.asp?key=quillmarrowed&regid=DEMOQ001&errcode=AG001");
    EXPECT_TRUE(
        wrong.contains("He <span style='background-color: #FF0000'>"
                       "<font color='#FFFFFF'>like</font></span> apples."));
}
