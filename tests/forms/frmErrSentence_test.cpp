#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "platform/forminstance.h"
#include "platform/twips.h"
#include "shared/globals.h"
#include "tests/forms/toolwindowtest.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmErrSentence.h"

namespace {

const QString kMarkOpen = "<span style='background-color: #FF0000'><font color='#FFFFFF'>";
const QString kMarkClose = "</font></span>";

QString marked(const QString& text) {
    return kMarkOpen + text + kMarkClose;
}

TEST(GetSentenceStyle, MarksTheStretchBetweenTwoAsterisksAndKeepsTheBlanksAround) {
    EXPECT_EQ(frmErrSentence::GetSentenceStyle("He *go* to school."),
              "He " + marked("go") + " to school.");
}

TEST(GetSentenceStyle, LeavesASentenceWithoutAsterisksAsItIs) {
    EXPECT_EQ(frmErrSentence::GetSentenceStyle("I like tea."), "I like tea.");
    EXPECT_EQ(frmErrSentence::GetSentenceStyle(""), "");
}

TEST(GetSentenceStyle, MarksToTheEndAfterAnOddAsteriskAndGivesAnEmptySpanForAPair) {
    EXPECT_EQ(frmErrSentence::GetSentenceStyle("She *like apples"), "She " + marked("like apples"));
    EXPECT_EQ(frmErrSentence::GetSentenceStyle("a**b"), "a" + marked("") + "b");
    EXPECT_EQ(frmErrSentence::GetSentenceStyle("*a* b *c*"), marked("a") + " b " + marked("c"));
}

TEST(GetSentenceStyle, EscapesEachStretchBeforeMarkingIt) {
    EXPECT_EQ(frmErrSentence::GetSentenceStyle("<b>Tom & *Jerry's*</b>"),
              "&lt;b&gt;Tom &amp; " + marked("Jerry&#39;s") + "&lt;/b&gt;");
}

class ErrSentenceWindowTest : public ToolWindowTest {
protected:
    frmErrSentence* openWindow() {
        frmErrSentence* form = FormInstance<frmErrSentence>::get();
        form->show();
        return form;
    }
    void storeWrongSentence(const QString& sentence, const QString& code) {
        run("insert into errsentence values ('1', '" + db::SqlText(sentence) + "', '" + code +
                "', '2024-03-01', 'N')",
            gUserConnStr);
    }
};

TEST_F(ErrSentenceWindowTest, OpensAtTheRightEdgeOfTheScreenWithItsCaption) {
    setUpCourse("LXV");
    frmErrSentence* form = openWindow();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form->x() + form->width(), screen.right() + 1);
    EXPECT_EQ(form->y(), screen.top() + twipsToPixels(1500));
    EXPECT_EQ(form->size(), form->picBG->size());
    EXPECT_EQ(form->lblCaption->text(), "犯錯句子");
    EXPECT_TRUE(gErrSentenceOpen);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(ErrSentenceWindowTest, ListsTheSentencesOfTheCodeWithTheirFaultyPartsMarked) {
    setUpCourse("LXV");
    storeWrongSentence("  He *go* to school.  ", "AG001");
    storeWrongSentence("She *like* <b>tea</b>.", "AG001");
    storeWrongSentence("I have *a* apple.", "AR001");
    frmErrSentence* form = openWindow();

    form->ShowErrSentence("AG001");

    EXPECT_EQ(listItems(form->webMain), (QStringList{"He go to school.", "She like <b>tea</b>."}));
    EXPECT_EQ(evaluate(form->webMain,
                       "Array.from(document.querySelectorAll('li span')).map(s => "
                       "s.innerText + '/' + s.style.backgroundColor + '/' + "
                       "s.firstChild.color)")
                  .toStringList(),
              (QStringList{"go/rgb(255, 0, 0)/#FFFFFF", "like/rgb(255, 0, 0)/#FFFFFF"}));
    EXPECT_TRUE(form->webMain->isVisible());
}

TEST_F(ErrSentenceWindowTest, ASecondCodeReplacesTheListInTheSameWindow) {
    setUpCourse("LXV");
    storeWrongSentence("He *go* to school.", "AG001");
    storeWrongSentence("I have *a* apple.", "AR001");
    frmErrSentence* form = openWindow();
    form->ShowErrSentence("AG001");
    ASSERT_EQ(listItems(form->webMain), QStringList{"He go to school."});

    form->ShowErrSentence("AR001");

    EXPECT_EQ(FormInstance<frmErrSentence>::get(), form);
    EXPECT_EQ(listItems(form->webMain), QStringList{"I have a apple."});
}

TEST_F(ErrSentenceWindowTest, ACodeWithoutSentencesAndACodeWithAQuoteGiveAnEmptyList) {
    setUpCourse("LXV");
    storeWrongSentence("He *go* to school.", "AG001");
    frmErrSentence* form = openWindow();

    form->ShowErrSentence("CP001");
    EXPECT_TRUE(listItems(form->webMain).isEmpty());
    EXPECT_EQ(evaluate(form->webMain, "document.querySelectorAll('table').length").toInt(), 1);

    form->ShowErrSentence("x' or '1'='1");
    EXPECT_TRUE(listItems(form->webMain).isEmpty());
}

TEST_F(ErrSentenceWindowTest, AnUnreadableLearnerDatabaseIsSaidSo) {
    setUpCourse("LXV");
    gUserConnStr = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + basePath() + "/none.mdb;";
    frmErrSentence* form = openWindow();

    form->ShowErrSentence("AG001");

    EXPECT_TRUE(shownText(form->webMain).contains("目前無法讀取您的犯錯記錄"));
}

TEST_F(ErrSentenceWindowTest, TheServiceEditionsShowTheServicesPage) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    setUpCourse("LXQ", standin.baseUrl());
    const QByteArray upload =
        "key=quillmarrowed&regid=DEMOQ001&pass=demo&courseId=DEMO&qcode=U1000101&flag=2"
        "&errcode=AG001&s=he+go+to+school.";
    ASSERT_TRUE(standin.post("/p_proc_sentence.asp", upload).answered);
    standin.clearLog();
    frmErrSentence* form = openWindow();

    form->ShowErrSentence("AG001");

    ASSERT_TRUE(form->webMain->waitForLoad(kLoadTimeoutMs));
    const QList<StandinRequest> requests = requestsFor(standin, "/p_show_err_sentence.asp");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().path, "/p_show_err_sentence.asp");
    EXPECT_EQ(requests.first().query, "key=quillmarrowed&regid=DEMOQ001&errcode=AG001");
    const QStringList items = listItems(form->webMain);
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items.first().contains("go to school")) << items.first().toStdString();
}

}  // namespace
