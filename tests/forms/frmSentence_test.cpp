#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "shared/globals.h"
#include "tests/forms/toolwindowtest.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmMain.h"
#include "workspace/frmSentence.h"

namespace {

class SentenceWindowTest : public ToolWindowTest {
protected:
    frmSentence* openWindow() {
        frmSentence* form = FormInstance<frmSentence>::get();
        form->show();
        return form;
    }
    void selectQuestion(const QString& code) {
        gNodeKey = "QUIZ_" + code;
        gUnitKey = code.left(4) + "0100";
        gQuizSelected = true;
    }
    void selectUnit(const QString& key) {
        gNodeKey = key;
        gUnitKey.clear();
        gQuizSelected = false;
    }
    void storeSentence(const QString& code, const QString& sentence) {
        run("insert into UserSntn values ('1', '" + code + "', '" + db::SqlText(sentence) +
                "', '2024-03-01')",
            gUserConnStr);
    }
    void clickTab(frmSentence* form, int tab) {
        QTest::mouseClick(form->lblInfoMenu[tab], Qt::LeftButton);
    }
};

TEST_F(SentenceWindowTest, OpensLowAtTheRightEdgeOnTheQuestionTab) {
    setUpCourse("LXV");
    selectQuestion("U1000101");
    frmSentence* form = openWindow();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form->x() + form->width(), screen.right() + 1);
    EXPECT_EQ(form->y(), screen.top() + twipsToPixels(6000));
    EXPECT_EQ(form->lblCaption->text(), "我的造句");
    EXPECT_TRUE(gSentenceOpen);
    EXPECT_EQ(form->mInfoMenuIndex, frmSentence::kThisQuestion);
    EXPECT_EQ(form->lblInfoMenu[0]->text(), "本單元");
    EXPECT_EQ(form->lblInfoMenu[1]->text(), "本題");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(form->picInfoMenu[i]->x(),
                  twipsToPixels(pixelsToTwips(form->picBG->width()) - (2 - i) * 1250 - 300));
    }
    EXPECT_EQ(form->picInfoMenu[1]->pixmap().cacheKey(), form->imgInfoMenuOn.cacheKey());
    EXPECT_EQ(shownText(form->webMain).trimmed(), "抱歉！本題無歷史造句。");
}

TEST_F(SentenceWindowTest, TheTabsListTheQuestionsOrTheWholeUnitsSentences) {
    setUpCourse("LXV");
    storeSentence("U1000101", "My name is Amy.");
    storeSentence("U1000102", "  I’m twelve years old.  ");
    storeSentence("U2000101", "I get up at seven.");
    storeSentence("U1000101", "<b>Bold</b> & brave.");
    selectQuestion("U1000101");
    frmSentence* form = openWindow();
    EXPECT_EQ(listItems(form->webMain), (QStringList{"My name is Amy.", "<b>Bold</b> & brave."}));

    clickTab(form, frmSentence::kThisUnit);

    EXPECT_EQ(form->mInfoMenuIndex, frmSentence::kThisUnit);
    EXPECT_EQ(listItems(form->webMain),
              (QStringList{"My name is Amy.", "I'm twelve years old.", "<b>Bold</b> & brave."}));
}

TEST_F(SentenceWindowTest, EmptyListsSayWhyByTabAndSelection) {
    setUpCourse("LXV");
    selectQuestion("U3000101");
    frmSentence* form = openWindow();
    clickTab(form, frmSentence::kThisUnit);
    EXPECT_EQ(shownText(form->webMain).trimmed(), "抱歉！本單元無歷史造句。");

    selectUnit("U3000100");
    form->SetDefaultValue();
    EXPECT_EQ(shownText(form->webMain).trimmed(), "抱歉！本單元無歷史造句。");
    clickTab(form, frmSentence::kThisQuestion);
    EXPECT_EQ(shownText(form->webMain).trimmed(), "選項非題型項目，無法提供歷史造句。");
}

TEST_F(SentenceWindowTest, AnUnreadableLearnerDatabaseIsSaidSo) {
    setUpCourse("LXV");
    selectQuestion("U1000101");
    gUserConnStr = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + basePath() + "/none.mdb;";
    frmSentence* form = openWindow();

    EXPECT_TRUE(shownText(form->webMain).contains("目前無法讀取您的造句記錄"));
}

TEST_F(SentenceWindowTest, NodeClicksRefreshTheListOnTheCurrentTab) {
    frmMain* window = openCourseWindow("LXV");
    storeSentence("U1000101", "My name is Amy.");
    storeSentence("U1000105", "My sister is a nurse.");
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000101"));
    frmSentence* form = openWindow();
    clickTab(form, frmSentence::kThisUnit);

    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000105"));
    EXPECT_EQ(form->mInfoMenuIndex, frmSentence::kThisUnit);
    EXPECT_EQ(listItems(form->webMain), (QStringList{"My name is Amy.", "My sister is a nurse."}));

    clickTab(form, frmSentence::kThisQuestion);
    EXPECT_EQ(listItems(form->webMain), QStringList{"My sister is a nurse."});
}

TEST_F(SentenceWindowTest, TheServiceEditionsShowTheServicesPageForTheTab) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    setUpCourse("LXQ", standin.baseUrl());
    const QByteArray upload =
        "key=quillmarrowed&regid=DEMOQ001&pass=demo&courseId=DEMO&qcode=U1000102&flag=3"
        "&errcode=0&s=I+am+twelve.";
    ASSERT_TRUE(standin.post("/p_proc_sentence.asp", upload).answered);
    standin.clearLog();
    selectQuestion("U1000101");
    frmSentence* form = openWindow();
    EXPECT_EQ(shownText(form->webMain).trimmed(), "抱歉！本題無歷史造句。");

    clickTab(form, frmSentence::kThisUnit);

    EXPECT_EQ(listItems(form->webMain), QStringList{"I am twelve."});
    QStringList queries;
    for (const StandinRequest& request : requestsFor(standin, "/p_show_ok_sentence.asp")) {
        queries.append(QString::fromLatin1(request.query));
    }
    EXPECT_EQ(queries,
              (QStringList{"key=quillmarrowed&regid=DEMOQ001&onquiz=Y&flag=1&qcode=U1000101",
                           "key=quillmarrowed&regid=DEMOQ001&onquiz=Y&flag=0&qcode=U100"}));
}

}  // namespace
