#include <gtest/gtest.h>
#include <optional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "tests/forms/toolwindowtest.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "tests/support/standinprocess.h"
#include "tests/support/windowsystem.h"
#include "workspace/errorstatisticspage.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/pagetext.h"
#include "workspace/studyprogresspage.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");
using Counts = ErrorStatisticsPage::Counts;

QString joinedLines(const QStringList& lines) {
    return lines.join(CRLF) + CRLF;
}

const QString kStatisticsEnd =
    joinedLines({"<table border='0' width='95%' id='table1'>", "</table>", "</body>", "</html>"});

QString introduction(const QString& colour, const QString& text) {
    return joinedLines({"<table border='0' width='99%' id='table1'>",
                        "<tr><td height='55' align='left' colspan='2' width='100%' "
                        "style='font-family: Arial; font-size: 15px; color: " +
                            colour + "; line-height:180%;'>",
                        text, "</td></tr>", "</table>"});
}

const QString kNoRecords = introduction("FFFFCC", "目前尚無任何犯錯記錄。");
const QString kRecords = introduction(
    "#66FFFF",
    "以下是依據您的犯錯類別所歸納整理的記錄。<br>您可以點選某大分類以展開其下的小分類，並點選某項小"
    "分類，即可列出該類別中的錯誤造句。");

QString codeRow(const QString& code, const QString& outline, const QString& count) {
    return joinedLines(
        {"<tr>", "<td width='5%'></td>", "<td id='td_" + code + "' width='95%' align='left'>",
         "<a style='text-decoration: none;' href='javascript:;' "
         "onclick=\"javascript:selectTD('td_" +
             code + "');document.location.href='cmd:errcode:" + code + "';\">",
         "<font style='font-family: Arial; font-size: 12px; color: #FFFFFF'>" + outline + "</font>",
         "</a>",
         "&nbsp;&nbsp;&nbsp;&nbsp;<font style='font-family: Arial; font-size: 12px; color: "
         "#FFCC00'>" +
             count + "</font>",
         "</td>", "</tr>"});
}

QString categoryRowStart(const QString& id, const QString& name, const QString& count) {
    const QString pictures = QUrl::fromLocalFile(ProgramFolder() + "/ui/").toString();
    return joinedLines(
        {"<tr><td onclick=\"javascript:selectTD('');\" align='left' colspan='2' width='100%'>",
         "<a style='text-decoration: none;' href=\"javascript:extendArea('" + id +
             "');\" onclick=\"document.location.href='rem:clear';\">",
         "<img id = 'imgoff" + id + "' src='" + pictures +
             "folder-off.gif' border='0' style='display:inline;'>",
         "<img id = 'imgon" + id + "' src='" + pictures +
             "folder-on.gif' border='0' style='display:none;'>",
         "<font style='font-family: Arial; font-size: 15px; color: #FFCC00'>" + name + "</font>",
         "&nbsp;&nbsp;&nbsp;&nbsp;<font style='font-family: Arial; font-size: 14px; color: "
         "#FFCC00'>" +
             count + "</font>",
         "</a>", "</td>", "</tr>", "<tr><td align='left' colspan='2' width='100%'>",
         "<table width='100%' id='div" + id + "' style='display:none;'>"});
}

const QString kCategoryRowEnd = joinedLines({"</table>", "</td></tr>"});

class ErrorStatisticsTest : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        setUpCourse("LXV");
    }
    void storeWrongSentences(const QString& code, int count) {
        for (int i = 0; i < count; ++i) {
            run("insert into errsentence values ('1', 'x', '" + code + "', '2024-03-01', 'N')",
                gUserConnStr);
        }
    }
    void storeMistakes(const QString& code, qint64 times) {
        run("insert into mistakes values ('" + code + "', " + QString::number(times) + ")",
            gUserConnStr);
    }
    static QString build(Counts counts) {
        return ErrorStatisticsPage(counts, ProgramFolder() + "/ui").build();
    }
};

TEST_F(ErrorStatisticsTest, WithoutRecordsThePageHoldsItsHeadScriptAndTheNoRecordsText) {
    const QString page = build(Counts::WrongSentences);

    const QString head = GetHtmlHeader("HEADER", "#585858");
    ASSERT_TRUE(page.startsWith(head + "<script>" + CRLF + "     oldSelectTD = '';" + CRLF +
                                "function extendArea(pCode)" + CRLF));
    EXPECT_TRUE(page.contains(
        joinedLines({"function selectTD(pTDCode)", "{", "     if (oldSelectTD != '')", "     {",
                     "     document.getElementById(oldSelectTD).style.background='#585858';",
                     "     }", "     if (pTDCode != '')", "     {",
                     "     document.getElementById(pTDCode).style.background='#000000';", "     }",
                     "     oldSelectTD = pTDCode;", "}", "</script>"}) +
        "<body scroll='auto'  ONDRAGSTART='window.event.returnValue=false' "
        "ONCONTEXTMENU='window.event.returnValue=false' onSelectStart='event.returnValue=false'>" +
        CRLF + "<div align='center'>" + CRLF + kNoRecords + kStatisticsEnd));
    EXPECT_TRUE(page.endsWith(kNoRecords + kStatisticsEnd));
}

TEST_F(ErrorStatisticsTest, CategoriesWithRecordsListTheirCodesWithCounts) {
    storeWrongSentences("AG001", 2);
    storeWrongSentences("AG003", 1);
    storeWrongSentences("CP001", 1);

    const QString page = build(Counts::WrongSentences);

    const QString statistics =
        "<table border='0' width='95%' id='table1'>" + CRLF +
        categoryRowStart("AG", "主詞與動詞一致", "3") +
        codeRow("AG001", "第三人稱單數主詞（he、she、it）的現在式動詞要加 -s 或 -es", "2") +
        codeRow("AG003", "主詞與 be 動詞（am、is、are）不一致", "1") + kCategoryRowEnd +
        categoryRowStart("CP", "大小寫", "1") + codeRow("CP001", "句子的第一個字母要大寫", "1") +
        kCategoryRowEnd + joinedLines({"</table>", "</body>", "</html>"});
    EXPECT_TRUE(page.endsWith(kRecords + statistics)) << page.toStdString();
}

TEST_F(ErrorStatisticsTest, CountsAreWideAndGroupedAndNullOutlinesShowNull) {
    run("insert into errmain values ('AG009', NULL)", gEngineConnStr);
    storeWrongSentences("AG009", 1);
    run("insert into errsentence with recursive n(i) as (select 1 union all select i + 1 from n "
        "where i < 40000) select 'id', 'x', 'CP002', '2024-03-01', 'N' from n",
        gUserConnStr);

    const QString page = build(Counts::WrongSentences);

    EXPECT_TRUE(page.contains(codeRow("AG009", "Null", "1")));
    EXPECT_TRUE(page.contains(categoryRowStart("CP", "大小寫", "40,000")));
    EXPECT_TRUE(page.contains(codeRow("CP002", "代名詞 I 一律大寫", "40,000")));
}

TEST_F(ErrorStatisticsTest, ACategoryWhoseCodesAreUnlistedShowsAnEmptyNestedTable) {
    storeWrongSentences("AGX", 2);

    const QString page = build(Counts::WrongSentences);

    EXPECT_TRUE(page.endsWith(kNoRecords + "<table border='0' width='95%' id='table1'>" + CRLF +
                              categoryRowStart("AG", "主詞與動詞一致", "2") + kCategoryRowEnd +
                              joinedLines({"</table>", "</body>", "</html>"})));
}

TEST_F(ErrorStatisticsTest, TheServiceEditionsSumTheCountersAndLeaveOutZeroSums) {
    storeMistakes("AG001", 1234);
    storeMistakes("AG002", 5);
    storeMistakes("CP001", 0);
    storeWrongSentences("AR001", 3);

    const QString page = build(Counts::Mistakes);

    EXPECT_TRUE(page.contains(categoryRowStart("AG", "主詞與動詞一致", "1,239")));
    EXPECT_TRUE(page.contains(
        codeRow("AG001", "第三人稱單數主詞（he、she、it）的現在式動詞要加 -s 或 -es", "1,234")));
    EXPECT_TRUE(page.contains(codeRow("AG002", "複數主詞的現在式動詞不可加 -s", "5")));
    EXPECT_FALSE(page.contains("imgoffCP"));
    EXPECT_FALSE(page.contains("imgoffAR"));
    EXPECT_TRUE(page.contains(kRecords));
}

TEST_F(ErrorStatisticsTest, TextsFromTheDatabasesCannotBreakThePageOrItsQueries) {
    run("insert into errtype values ('Q''X', '<b>引號</b>')", gEngineConnStr);
    run("insert into errmain values ('Q''X1', 'a < b & \"c\"')", gEngineConnStr);
    storeWrongSentences("Q''X1", 1);

    const QString page = build(Counts::WrongSentences);

    EXPECT_TRUE(page.contains("href=\"javascript:extendArea('Q\\&#39;X');\""));
    EXPECT_TRUE(page.contains("id='divQ&#39;X'"));
    EXPECT_TRUE(page.contains(">&lt;b&gt;引號&lt;/b&gt;</font>"));
    EXPECT_TRUE(page.contains("<td id='td_Q&#39;X1' width='95%' align='left'>"));
    EXPECT_TRUE(
        page.contains("selectTD('td_Q\\&#39;X1');document.location.href='cmd:errcode:Q\\"
                      "&#39;X1';"));
    EXPECT_TRUE(page.contains(">a &lt; b &amp; &quot;c&quot;</font>"));
}

TEST_F(ErrorStatisticsTest, AnUnreadableErrorListIsNotTakenForAnEmptyRecord) {
    db::closeAllConnections();
    ASSERT_TRUE(QFile::remove(gBasePath + "/glossor/data/err4list.mdb"));

    const QString page = build(Counts::WrongSentences);

    EXPECT_TRUE(page.contains("目前無法讀取犯錯記錄"));
    EXPECT_FALSE(page.contains("目前尚無任何犯錯記錄"));
}

// The rendered pages, shown by the tool-bar buttons of the main window.
class PagesWindowTest : public ToolWindowTest {
protected:
    void openMainWindow(const QString& edition, const QString& serviceUrl = QString()) {
        window = openCourseWindow(edition, serviceUrl);
        window->resize(1024, 720);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        ASSERT_TRUE(window->webMain->waitForLoad(kLoadTimeoutMs));
    }
    void clickButton(int button) {
        QTest::mouseClick(window->picMenus[button], Qt::LeftButton, {}, QPoint(3, 3));
    }
    // A click of the mouse on the middle of the page's element.
    void clickElement(const QString& selector) {
        const QVariantList box =
            evaluate(window->webMain, "var r = document.querySelector(\"" + selector +
                                          "\").getBoundingClientRect();"
                                          "[r.left + r.width / 2, r.top + r.height / 2]")
                .toList();
        ASSERT_EQ(box.size(), 2) << selector.toStdString();
        auto* view = window->webMain->findChild<QWebEngineView*>();
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {},
                          QPoint(box.at(0).toInt(), box.at(1).toInt()));
    }
    QString pageValue(const QString& script) {
        return evaluate(window->webMain, script).toString();
    }
    void setPlan(const QString& type, int days, const QDate& start) {
        gScheduleType = type;
        gScheduleDays = days;
        gScheduleStart = start;
        gScheduleEnd = start.addDays(days - 1);
    }
    QString studyPagePath() const { return gBasePath + "/Lexivo2/manual/study.htm"; }

    frmMain* window = nullptr;
};

TEST_F(PagesWindowTest, ACodeClickedOnTheStatisticsPageOpensItsWrongSentences) {
    openMainWindow("LXV");
    run("insert into errsentence values ('1', 'He *go* to school.', 'AG001', '2024-03-01', 'N')",
        gUserConnStr);
    run("insert into errsentence values ('2', 'I have *a* apple.', 'AR001', '2024-03-01', 'N')",
        gUserConnStr);
    run("insert into errsentence with recursive n(i) as (select 1 union all select i + 1 from n "
        "where i < 1234) select 'id', 'x', 'PU001', '2024-03-01', 'N' from n",
        gUserConnStr);

    clickButton(1);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    ASSERT_TRUE(pageValue("document.body.innerText").contains("以下是依據您的犯錯類別"));
    EXPECT_TRUE(waitFor([&] {
        return evaluate(window->webMain, "document.getElementById('imgoffAG').naturalWidth")
                   .toInt() == 16;
    }));

    clickElement("#imgoffAG");
    EXPECT_TRUE(waitFor(
        [&] { return pageValue("document.getElementById('divAG').style.display") == "inline"; }));
    EXPECT_EQ(pageValue("document.getElementById('imgonAG').style.display"), "inline");
    EXPECT_EQ(pageValue("document.getElementById('imgoffAG').style.display"), "none");

    clickElement("#td_AG001 a");
    ASSERT_TRUE(waitFor([] { return gErrSentenceOpen; }));
    EXPECT_EQ(pageValue("document.getElementById('td_AG001').style.backgroundColor"),
              "rgb(0, 0, 0)");
    frmErrSentence* wrong = FormInstance<frmErrSentence>::get();
    EXPECT_TRUE(wrong->isVisible());
    EXPECT_EQ(listItems(wrong->webMain), QStringList{"He go to school."});

    clickElement("#imgoffAR");
    EXPECT_TRUE(waitFor(
        [&] { return pageValue("document.getElementById('divAR').style.display") == "inline"; }));
    clickElement("#td_AR001 a");
    EXPECT_TRUE(
        waitFor([&] { return listItems(wrong->webMain) == QStringList{"I have a apple."}; }));
    EXPECT_EQ(pageValue("document.getElementById('td_AG001').style.backgroundColor"),
              "rgb(88, 88, 88)");
    saveScreenshotWhenPainted(window, window->webMain, "error-statistics-page");
    saveScreenshotWhenPainted(wrong, wrong->webMain, "wrong-sentences-window");
}

// An id that ends in a backslash would swallow the quote that closes its
// script string.
TEST_F(PagesWindowTest, AnIdWithABackslashLeavesTheStatisticsPageScriptWorking) {
    openMainWindow("LXV");
    run("insert into errtype values ('Z\\', 'backslash')", gEngineConnStr);
    run("insert into errmain values ('Z\\1', 'outline')", gEngineConnStr);
    run("insert into errsentence values ('1', 'x', 'Z\\1', '2024-03-01', 'N')", gUserConnStr);
    clickButton(1);
    ASSERT_TRUE(waitFor([&] {
        return evaluate(window->webMain,
                        "document.querySelector(\"img[id^='imgoffZ']\").naturalWidth")
                   .toInt() == 16;
    })) << "the folder picture did not load";

    clickElement("img[id^='imgoffZ']");
    EXPECT_TRUE(waitFor([&] {
        return pageValue("document.querySelector(\"table[id^='divZ']\").style.display") == "inline";
    })) << "the category did not open";
    clickElement("td[id^='td_Z'] a");
    ASSERT_TRUE(waitFor([] { return gErrSentenceOpen; }))
        << "the code's link did not leave the page";
    EXPECT_EQ(pageValue("document.querySelector(\"td[id^='td_Z']\").style.backgroundColor"),
              "rgb(0, 0, 0)");
}

TEST_F(PagesWindowTest, TheProgressPageIsBuiltFromTheTemplateAndShown) {
    openMainWindow("LXV");
    setPlan("自訂期限型", 30, QDate::currentDate().addDays(-3));
    run("update bswunit set VISITED = '3' where PARENT = 'U1000100'", gCourseConnStr);
    run("update bswunit set VISITED = '2' where UNITID in ('U2000101', 'U2000102')",
        gCourseConnStr);
    gStudyPageDirty = true;

    clickButton(0);

    EXPECT_FALSE(gStudyPageDirty);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    const QString text = pageValue("document.body.innerText");
    EXPECT_EQ(QUrl(window->webMain->locationURL()).toLocalFile(), studyPagePath());
    EXPECT_TRUE(big5::readBytes(studyPagePath()).startsWith("<html>"));
    EXPECT_TRUE(text.contains("自訂期限型（30日完成）")) << text.toStdString();
    EXPECT_TRUE(text.contains(GetDateString(QDate::currentDate(), "/")));
    EXPECT_FALSE(text.contains("##"));
    EXPECT_EQ(pageValue("Array.from(document.querySelectorAll('tr[bgcolor]')).map(r => "
                        "r.cells[0].innerText + ':' + r.cells[2].innerText).join(',')"),
              "01:5,02:0,03:0");
    EXPECT_TRUE(waitFor([&] {
        return evaluate(window->webMain,
                        "Array.from(document.images).every(i => i.complete && i.naturalWidth > 0)")
            .toBool();
    }));
    saveScreenshotWhenPainted(window, window->webMain, "study-progress-page");
}

TEST_F(PagesWindowTest, ACurrentProgressPageIsShownAsItIsAndAStaleOneRebuilt) {
    openMainWindow("LXV");
    setPlan("自訂期限型", 30, QDate::currentDate());
    gStudyPageDirty = false;
    ASSERT_TRUE(big5::writeFile(studyPagePath(), "<html><body>舊的頁面</body></html>"));

    clickButton(0);
    EXPECT_EQ(shownText(window->webMain).trimmed(), "舊的頁面");
    EXPECT_FALSE(gStudyPageDirty);

    QFile page(studyPagePath());
    ASSERT_TRUE(page.open(QIODevice::ReadWrite));
    ASSERT_TRUE(page.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                 QFileDevice::FileModificationTime));
    page.close();
    clickButton(0);
    EXPECT_TRUE(shownText(window->webMain).contains("自訂期限型（30日完成）"));
}

// A page that cannot be made is told as what keeps it from being made: a
// template that the installation did not leave, or a full disk (full once
// the page is asked for, with room again for the message).
class StudyPageNotMadeTest : public PagesWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StudyPageNotMadeTest, IsToldAsSuchAndKeepsThePageDirty) {
    const bool diskIsFull = GetParam();
    openMainWindow("LXV");
    if (!diskIsFull) {
        ASSERT_TRUE(QFile::remove(gBasePath + "/Lexivo2/manual/study.tmp.htm"));
    }
    gStudyPageDirty = true;
    std::optional<FullDisk> diskFull;
    if (diskIsFull) {
        diskFull.emplace();
    }
    QList<int> icons;
    MessageAnswerer answerer("OK", [&] {
        icons << shownMessageIcon();
        diskFull.reset();
    });
    clickThroughWindow(window->picMenus[mainmeasures::kButtonProgress], Qt::LeftButton,
                       QPoint(3, 3));

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.trimmedTexts().first().startsWith(diskIsFull ? "無法寫入本程式的資料夾"
                                                                      : "學習進度頁面無法建立"));
    EXPECT_EQ(icons, QList<int>{1});
    EXPECT_TRUE(gStudyPageDirty);
    EXPECT_FALSE(QFileInfo::exists(studyPagePath()));
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
}

INSTANTIATE_TEST_SUITE_P(TemplateOrDisk, StudyPageNotMadeTest, ::testing::Bool());

TEST_F(PagesWindowTest, TheServiceEditionsShowTheServicesProgressPage) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    openMainWindow("LXQ", standin.baseUrl());
    gServerCourseId = "DEMO";
    standin.clearLog();

    clickButton(0);

    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    EXPECT_TRUE(shownText(window->webMain).contains("DEMO 學習進度"));
    const QList<StandinRequest> requests = requestsFor(standin, "/p_getcalcprogress.asp");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().path, "/p_getcalcprogress.asp");
    EXPECT_TRUE(QString::fromLatin1(requests.first().query)
                    .contains(QRegularExpression(
                        "^key=quillmarrowed&regid=DEMOQ001&courseid=DEMO&tid=\\d+$")))
        << requests.first().query.toStdString();
}

// Another course opened, or the other page asked for, while a page is built
// would end in a page of one course shown or stored for another.
class PageBuildTest : public PagesWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(PageBuildTest, TheBuildHoldsTheMainWindow) {
    openMainWindow("LXV");
    gStudyPageDirty = true;
    bool tried = false;
    QTimer learner;
    QObject::connect(&learner, &QTimer::timeout, [&] {
        if (frmMessage::isShown()) {
            learner.stop();
            tried = true;
            EXPECT_FALSE(menuOpensThroughWindow(window->menuBar(), window->mnuFile));
            clickThroughWindow(window->picMenus[mainmeasures::kButtonSearch]);
            EXPECT_FALSE(gSearchOpen);
        }
    });
    learner.start(0);
    clickButton(GetParam());
    EXPECT_TRUE(tried) << "no please-wait box showed";
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(BothPages, PageBuildTest,
                         ::testing::Values(mainmeasures::kButtonProgress,
                                           mainmeasures::kButtonErrors));

// The progress figures for a fixed moment. The demo course has fifteen
// questions, all not done at first; its root and three unit rows carry a
// progress state too but are no questions.
class StudyProgressTest : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        setUpCourse("LXV");
    }
    static QString fill(const StudyProgressPage::Plan& plan, const QDateTime& now,
                        const QString& text) {
        return StudyProgressPage(plan, now).fill(text);
    }
    const StudyProgressPage::Plan plan{"標準型", 19, QDate(2024, 3, 1), QDate(2024, 3, 19)};
};

TEST_F(StudyProgressTest, ThePlaceholdersTakeThePlanAndTheFigures) {
    run("update bswunit set VISITED = '3' where PARENT = 'U1000100'", gCourseConnStr);
    run("update bswunit set VISITED = '2' where UNITID = 'U2000101'", gCourseConnStr);
    const QString text =
        "##scheduleType##|##dayStart##|##dayEnd##|##endDays##|##today##|##rec_all##|"
        "##rec_finish##|##rec_percent##|進度落後 ##rec_lost## 題";

    // 8.5 days into a plan of 19 days for 15 questions: 6.7 expected.
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 9), QTime(12, 0)), text),
              "標準型（19日完成）|2024/3/1|2024/3/19|<font color='#0000FF'>尚有 10 日</font>|"
              "2024/3/9|7<br><font color='#008800'>(總題數 15)</font>|5|71.4|進度落後 2 題");
}

// A reset sets the root and unit rows to not done as well; a learner who
// has finished every question is still not behind.
TEST_F(StudyProgressTest, OnlyQuestionsCountSoThatAFinishedCourseIsNotBehind) {
    run("update bswunit set VISITED = '1'", gCourseConnStr);
    run("update bswunit set VISITED = '3' where PARENT like 'U%'", gCourseConnStr);
    const QDateTime afterTheEnd(QDate(2024, 3, 25), QTime(12, 0));

    EXPECT_EQ(fill(plan, afterTheEnd, "##rec_all##|##rec_finish##|##rec_percent##|##rec_lost##"),
              "15<br><font color='#008800'>(總題數 15)</font>|15|100.0|進度超前 0 題");
}

TEST_F(StudyProgressTest, FinishingAheadOrOnTimeShowsAhead) {
    run("update bswunit set VISITED = '3' where PARENT = 'U1000100'", gCourseConnStr);
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 3), QTime(12, 0)), "##rec_lost##"),
              "進度超前 3 題");
    // Six and a third days of 19 expect 5 of the 15 questions.
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 7), QTime(8, 0)), "##rec_lost##"),
              "進度超前 0 題");
}

TEST_F(StudyProgressTest, TheEndDaysCountDownAndThenUp) {
    const QString lastDay = fill(plan, QDateTime(QDate(2024, 3, 19), QTime(10, 0)), "##endDays##");
    EXPECT_EQ(lastDay, "<font color='#0000FF'>尚有 1 日</font>");
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 20), QTime(0, 0, 30)), "##endDays##"),
              "<font color='#FF0000'>已超過 0 日</font>");
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 25), QTime(12, 0)), "##endDays##"),
              "<font color='#FF0000'>已超過 6 日</font>");
}

TEST_F(StudyProgressTest, ExpectedFollowsThePlanDays) {
    const StudyProgressPage::Plan twenty{"自訂期限型", 20, QDate(2024, 3, 1), QDate(2024, 3, 20)};
    EXPECT_EQ(
        StudyProgressPage(twenty, QDateTime(QDate(2024, 3, 11), QTime(0, 0))).expectedFinished(100),
        50);
    EXPECT_EQ(
        StudyProgressPage(twenty, QDateTime(QDate(2024, 3, 25), QTime(0, 0))).expectedFinished(100),
        100);
    const StudyProgressPage::Plan none{"NONE", 0, QDate(2000, 1, 1), QDate(2000, 1, 1)};
    EXPECT_EQ(
        StudyProgressPage(none, QDateTime(QDate(2024, 3, 11), QTime(0, 0))).expectedFinished(100),
        100);
    // A plan that starts tomorrow expects nothing yet.
    EXPECT_EQ(StudyProgressPage(twenty, QDateTime(QDate(2024, 2, 28), QTime(12, 0)))
                  .expectedFinished(100),
              0);
}

TEST_F(StudyProgressTest, NothingFinishedGivesZeroPercent) {
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 9), QTime(12, 0)), "##rec_percent##"), "0.0");
    EXPECT_EQ(fill(plan, QDateTime(QDate(2024, 3, 1), QTime(0, 0)), "##rec_percent##"), "0.0");
}

TEST_F(StudyProgressTest, SubUnitRowsAlternateTheirColoursAndSplitTheirBars) {
    run("update bswunit set VISITED = '3' where PARENT = 'U1000100'", gCourseConnStr);
    run("update bswunit set VISITED = '2' where UNITID = 'U2000101'", gCourseConnStr);
    run("update bswunit set VISITED = '3' where UNITID = 'U3000101'", gCourseConnStr);
    run("insert into bswunit values ('U4000100', 'DEMO0000', '<空>', 'unit4.htm', '1', '0')",
        gCourseConnStr);

    const QString rows = fill(plan, QDateTime(QDate(2024, 3, 9), QTime(12, 0)), "##elements##");

    const auto row = [](const QString& colour, const QString& label, const QStringList& counts,
                        const QString& bar, const QString& percent) {
        QString text = "<TR vAlign=center bgColor=" + colour + ">" + CRLF +
                       "   <DIV class=style8 align=center></DIV>" + CRLF +
                       "   <TD class=style8 width=120 height=22>" + label + "</TD>" + CRLF;
        for (const QString& count : counts) {
            text += "   <TD class=style8 width=120 height=22>" + count + "</TD>" + CRLF;
        }
        return text + "   <TD class=style8 align=left><IMG height=20 src='LN_Left.bmp'>" + bar +
               "<IMG height=20 src='LN_RIGHT.bmp'></TD>" + CRLF +
               "   <TD class=style8 width=120 height=32><FONT Color='#0000FF'>" + percent +
               "%</FONT></TD>" + CRLF + "<DIV></DIV></TR>" + CRLF;
    };
    const QString cut = "<IMG height=20 src='LN_CUT.bmp'>";
    EXPECT_EQ(rows, row("#FFFFFF", "01", {"5", "5", "0", "0"},
                        "<IMG height=20 src='LN_1.bmp' width=200>" + cut, "100") +
                        row("#CDDBC6", "02", {"5", "0", "1", "4"},
                            "<IMG height=20 src='LN_2.bmp' width=40>" + cut +
                                "<IMG height=20 src='LN_0.bmp' width=160>",
                            "0") +
                        row("#FFFFFF", "03", {"5", "1", "0", "4"},
                            "<IMG height=20 src='LN_1.bmp' width=40>" + cut +
                                "<IMG height=20 src='LN_0.bmp' width=160>",
                            "20") +
                        row("#CDDBC6", "&lt;空", {"0", "0", "0", "0"}, cut, "0"));
}

// The pages and pictures that the generated pages refer to come with the
// installation: the manual package and the program folder's ui/.
TEST_F(StudyProgressTest, TheInstallationBringsTheTemplateAndThePictures) {
    const QString manual = gBasePath + "/Lexivo2/manual/";
    bool readable = false;
    const QByteArray bytes = big5::readBytes(manual + "study.tmp.htm", &readable);
    ASSERT_TRUE(readable);
    EXPECT_TRUE(bytes.startsWith("\r\n<html>\r\n"));
    const QString page = big5::decode(bytes);
    for (const char* placeholder : {"##scheduleType##", "##dayStart##", "##dayEnd##", "##endDays##",
                                    "##today##", "##rec_all##", "##rec_finish##", "##rec_percent##",
                                    "進度落後 ##rec_lost## 題", "##elements##", ".style8"}) {
        EXPECT_TRUE(page.contains(QString::fromUtf8(placeholder))) << placeholder;
    }
    for (const char* name :
         {"LN_Left.bmp", "LN_1.bmp", "LN_2.bmp", "LN_CUT.bmp", "LN_0.bmp", "LN_RIGHT.bmp"}) {
        EXPECT_FALSE(QImage(manual + name).isNull()) << name;
    }
    EXPECT_TRUE(big5::readFile(manual + "check.htm").contains("分析結果"));
    EXPECT_FALSE(QImage(ProgramFolder() + "/ui/folder-off.gif").isNull());
    EXPECT_FALSE(QImage(ProgramFolder() + "/ui/folder-on.gif").isNull());
}

TEST(PageText, NumbersAreGroupedAndRoundedAwayFromZero) {
    EXPECT_EQ(pagetext::number(1234.55, 1), "1,234.6");
    EXPECT_EQ(pagetext::number(100.0 / 3, 1), "33.3");
    EXPECT_EQ(pagetext::number(0, 1), "0.0");
    EXPECT_EQ(pagetext::number(2.5, 0), "3");
    EXPECT_EQ(pagetext::number(1234567, 0), "1,234,567");
    EXPECT_EQ(pagetext::number(-0.6, 0), "-1");
}

}  // namespace
