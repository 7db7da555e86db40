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
#include "workspace/frmMain.h"
#include "workspace/frmSample.h"

namespace {

class SampleWindowTest : public ToolWindowTest {
protected:
    frmSample* openWindow() {
        frmSample* form = FormInstance<frmSample>::get();
        form->show();
        return form;
    }
    void selectQuestion(const QString& code) {
        gNodeKey = "QUIZ_" + code;
        gQuizSelected = true;
    }
    bool tabIsSelected(frmSample* form, int tab) const {
        return form->picInfoMenu[tab]->pixmap().cacheKey() == form->imgInfoMenuOn.cacheKey();
    }
    QStringList rowColours(frmSample* form) {
        return evaluate(
                   form->webMain,
                   "Array.from(document.querySelectorAll('td[style]')).map(e => e.style.color)")
            .toStringList();
    }
};

TEST_F(SampleWindowTest, OpensAtTheRightEdgeWithTheChineseTabSelected) {
    setUpCourse("LXV");
    selectQuestion("U1000101");
    frmSample* form = openWindow();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form->x() + form->width(), screen.right() + 1);
    EXPECT_EQ(form->y(), screen.top() + twipsToPixels(1500));
    EXPECT_EQ(form->lblCaption->text(), "造句範例");
    EXPECT_TRUE(gSampleOpen);
    EXPECT_EQ(form->mViewMode, frmSample::kChineseOnly);
    const QStringList captions{"只顯示中文", "只顯示英文", "中英文顯示"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->lblInfoMenu[i]->text(), captions[i]);
        EXPECT_EQ(form->picInfoMenu[i]->x(),
                  twipsToPixels(pixelsToTwips(form->picBG->width()) - 1250 * (3 - i) - 300));
        EXPECT_EQ(tabIsSelected(form, i), i == 0);
    }
    EXPECT_EQ(listItems(form->webMain), (QStringList{"我的名字是林美玲。", "我是陳大衛。"}));
}

TEST_F(SampleWindowTest, TheTabsChooseChineseEnglishOrBothWithEnglishFirst) {
    setUpCourse("LXV");
    selectQuestion("U1000101");
    frmSample* form = openWindow();

    QTest::mouseClick(form->lblInfoMenu[frmSample::kEnglishOnly], Qt::LeftButton);
    EXPECT_EQ(form->mViewMode, frmSample::kEnglishOnly);
    EXPECT_TRUE(tabIsSelected(form, 1));
    EXPECT_FALSE(tabIsSelected(form, 0));
    EXPECT_EQ(listItems(form->webMain),
              (QStringList{"My name is Lin Mei-ling.", "I am Chen Da-wei."}));
    EXPECT_EQ(rowColours(form), (QStringList{"rgb(0, 128, 128)", "rgb(0, 128, 128)"}));

    QTest::mouseClick(form->picInfoMenu[frmSample::kBoth], Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(form->mViewMode, frmSample::kBoth);
    EXPECT_EQ(listItems(form->webMain),
              (QStringList{"My name is Lin Mei-ling.", "我的名字是林美玲。", "I am Chen Da-wei.",
                           "我是陳大衛。"}));
    EXPECT_EQ(rowColours(form), (QStringList{"rgb(0, 128, 128)", "rgb(102, 102, 102)",
                                             "rgb(0, 128, 128)", "rgb(102, 102, 102)"}));
    saveScreenshotWhenPainted(form, form->webMain, "examples-window");
}

TEST_F(SampleWindowTest, ATabClickReadsTheExamplesAgainAndEscapesThem) {
    setUpCourse("LXV");
    selectQuestion("U1000101");
    frmSample* form = openWindow();
    run("insert into example values ('U1000101', '  <i>Hi</i> & bye  ', '嗨')", gCourseConnStr);

    QTest::mouseClick(form->lblInfoMenu[frmSample::kEnglishOnly], Qt::LeftButton);

    EXPECT_EQ(listItems(form->webMain).last(), "<i>Hi</i> & bye");
}

TEST_F(SampleWindowTest, AQuestionWithoutExamplesAndAUnitNodeSaySo) {
    setUpCourse("LXV");
    run("delete from example where QCODE = 'U1000102'", gCourseConnStr);
    selectQuestion("U1000102");
    frmSample* form = openWindow();
    EXPECT_EQ(shownText(form->webMain).trimmed(), "抱歉！本題無例句資訊。");

    gNodeKey = "U1000100";
    gQuizSelected = false;
    form->SetDefaultValue();
    EXPECT_EQ(shownText(form->webMain).trimmed(), "選項非題型項目,無法提供例句資訊...");
}

TEST_F(SampleWindowTest, ANodeClickReplacesTheListAndKeepsTheViewMode) {
    frmMain* window = openCourseWindow("LXV");
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000101"));
    frmSample* form = openWindow();
    QTest::mouseClick(form->lblInfoMenu[frmSample::kEnglishOnly], Qt::LeftButton);

    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U2000101"));

    EXPECT_EQ(form->mViewMode, frmSample::kEnglishOnly);
    EXPECT_EQ(listItems(form->webMain), QStringList{"I get up at six thirty every morning."});
}

TEST_F(SampleWindowTest, ClosingFadesOutAndTheNextOpeningStartsInChinese) {
    setUpCourse("LXV");
    selectQuestion("U1000101");
    frmSample* form = openWindow();
    QTest::mouseClick(form->lblInfoMenu[frmSample::kBoth], Qt::LeftButton);

    QTest::mouseClick(form->imgClose, Qt::LeftButton);
    EXPECT_FALSE(gSampleOpen);
    EXPECT_TRUE(waitFor([] { return !FormInstance<frmSample>::isLoaded(); }));

    EXPECT_EQ(openWindow()->mViewMode, frmSample::kChineseOnly);
}

}  // namespace
