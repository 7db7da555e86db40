#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "tests/screens/screenshotfixture.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/frmMenu.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"
#include "workspace/frmSentence.h"

using namespace mainmeasures;

namespace {

// The area around a control, in global coordinates.
QRect globalArea(QWidget* control, int margin) {
    return QRect(control->mapToGlobal(QPoint(0, 0)), control->size())
        .adjusted(-margin, -margin, margin, margin);
}

class ToolWindowScreens : public ScreenshotTest {
protected:
    void SetUp() override {
        ScreenshotTest::SetUp();
        openCourse();
    }
};

TEST_F(ToolWindowScreens, ExamplesInBothLanguages) {
    selectQuestion("U1000101");
    window->picMenus_Click(kButtonExamples);
    frmSample* form = FormInstance<frmSample>::get();
    QTest::mouseClick(form->lblInfoMenu[frmSample::kBoth], Qt::LeftButton);

    expectShownSanely(form);
    EXPECT_EQ(form->mViewMode, frmSample::kBoth);
    EXPECT_FALSE(shoot(form, "frmSample").isEmpty());
}

TEST_F(ToolWindowScreens, SearchThatFoundAQuestion) {
    selectQuestion("U1000101");
    window->picMenus_Click(kButtonSearch);
    frmSearch* form = FormInstance<frmSearch>::get();
    form->txtSearch->setText("英文說出");
    QTest::mouseClick(form->cmdSearch, Qt::LeftButton);

    expectShownSanely(form);
    EXPECT_NE(window->treMain->selectedItem()->key(), "QUIZ_U1000101");
    // The question found is selected in the main window behind.
    EXPECT_FALSE(shoot(form, "frmSearch", form->screen()->geometry()).isEmpty());
}

TEST_F(ToolWindowScreens, OwnSentencesOfTheUnit) {
    checkSomeSentences();
    check("U1000104", "I live in Taipei.");
    selectQuestion("U1000101");
    window->picMenus_Click(kButtonMySentences);
    frmSentence* form = FormInstance<frmSentence>::get();
    QTest::mouseClick(form->lblInfoMenu[frmSentence::kThisUnit], Qt::LeftButton);

    expectShownSanely(form);
    EXPECT_EQ(form->mInfoMenuIndex, frmSentence::kThisUnit);
    EXPECT_FALSE(shoot(form, "frmSentence").isEmpty());
}

TEST_F(ToolWindowScreens, TheInputBoxsEditMenu) {
    selectQuestion("U1000101");
    typeSentence("My name is Tom.");
    window->txtInput->selectAll();
    QTest::mouseClick(window->txtInput, Qt::RightButton, {}, QPoint(20, 5));
    QMenu* menu = FormInstance<frmMenu>::get()->mnuTextPopup;
    ASSERT_TRUE(waitFor([menu] { return menu->isVisible(); }));

    expectShownSanely(menu);
    const QRect area = globalArea(menu, 10).united(globalArea(window->txtInput, 10));
    EXPECT_FALSE(shoot(menu, "frmMenu", area).isEmpty());
    menu->hide();
}

}  // namespace
