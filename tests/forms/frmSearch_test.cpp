#include <gtest/gtest.h>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "tests/forms/toolwindowtest.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"
#include "workspace/frmSentence.h"

namespace {

const QColor kRed(255, 0, 0);
const QString kNotFound = QStringLiteral("沒有找到符合內容");

class SearchWindowTest : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        window = openCourseWindow("LXV");
        form = FormInstance<frmSearch>::get();
        form->show();
    }

    void select(const QString& key) { window->treMain->clickNode(window->treMain->nodeByKey(key)); }
    QString selectedKey() const { return window->treMain->selectedItem()->key(); }
    void search(const QString& text, int direction) {
        form->txtSearch->setText(text);
        QTest::mouseClick(form->lblDirect[direction], Qt::LeftButton);
        QTest::mouseClick(form->cmdSearch, Qt::LeftButton);
    }
    QColor messageColour() const { return form->lblMessage->palette().color(QPalette::WindowText); }

    frmMain* window = nullptr;
    frmSearch* form = nullptr;
};

TEST_F(SearchWindowTest, OpensCentredWithItsCaptionsAndSearchingDown) {
    EXPECT_TRUE(gSearchOpen);
    EXPECT_EQ(form->lblCaption->text(), "題目搜尋");
    EXPECT_EQ(form->lblS[0]->text(), "尋找目標");
    EXPECT_EQ(form->lblS[1]->text(), "搜尋方向");
    EXPECT_EQ(form->lblDirect[0]->text(), "向上");
    EXPECT_EQ(form->lblDirect[1]->text(), "向下");
    EXPECT_EQ(form->cmdSearch->text(), "找下一個");
    EXPECT_EQ(form->cmdClear->text(), "清除");
    EXPECT_EQ(form->cmdCancel->text(), "取消");
    EXPECT_TRUE(form->optDirect[frmSearch::kDown]->isChecked());
    EXPECT_FALSE(form->optDirect[frmSearch::kUp]->geometry().intersects(
        form->optDirect[frmSearch::kDown]->geometry()));
    EXPECT_TRUE(form->lblMessage->text().isEmpty());
    EXPECT_TRUE(form->picProgress->isHidden());
}

// The question texts are stored scrambled; the learner searches what the
// quiz pane shows.
TEST_F(SearchWindowTest, FindsTheNextQuestionDownwardsAndGoesOnFromIt) {
    select("QUIZ_U1000101");

    search("英文說出", frmSearch::kDown);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000102");
    EXPECT_EQ(gNodeKey, "QUIZ_U1000102");
    EXPECT_TRUE(form->lblMessage->text().isEmpty());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(form->cmdSearch->isEnabled());
    EXPECT_TRUE(form->picProgress->isHidden());

    QTest::mouseClick(form->cmdSearch, Qt::LeftButton);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000103");
}

TEST_F(SearchWindowTest, SearchesUpwardsAndSkipsUnitNodes) {
    select("QUIZ_U2000101");

    search("介紹", frmSearch::kUp);

    EXPECT_EQ(selectedKey(), "QUIZ_U1000105");
}

TEST_F(SearchWindowTest, StopsAtTheEndsWithoutWrappingRound) {
    select("QUIZ_U3000105");
    search("英文", frmSearch::kDown);
    EXPECT_EQ(selectedKey(), "QUIZ_U3000105");
    EXPECT_EQ(form->lblMessage->text(), kNotFound);
    EXPECT_EQ(messageColour(), kRed);
    EXPECT_FALSE(saveScreenshot(form, "search-window").isEmpty());

    select("QUIZ_U1000101");
    search("英文", frmSearch::kUp);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000101");
    EXPECT_EQ(form->lblMessage->text(), kNotFound);

    // The last question is within reach.
    select("QUIZ_U3000104");
    search("邀請朋友", frmSearch::kDown);
    EXPECT_EQ(selectedKey(), "QUIZ_U3000105");
}

TEST_F(SearchWindowTest, PercentAndUnderscoreAreWildcardsAndQuotesAreText) {
    select("QUIZ_U1000101");
    search("請_英文%城市", frmSearch::kDown);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000103");

    // A stored line that does not descramble is searched as it is stored.
    run("update bswqcont set Q1 = 'Say what you don''t like.' where QCODE = 'U2000105'",
        gCourseConnStr);
    search("YOU DON'T", frmSearch::kDown);
    EXPECT_EQ(selectedKey(), "QUIZ_U2000105");
    EXPECT_TRUE(form->lblMessage->text().isEmpty());
}

TEST_F(SearchWindowTest, ABlankTextDoesNothing) {
    select("QUIZ_U1000101");
    search("   ", frmSearch::kDown);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000101");
    EXPECT_TRUE(form->lblMessage->text().isEmpty());
}

TEST_F(SearchWindowTest, CharacterKeysClearTheResultAndEnterSearches) {
    select("QUIZ_U3000105");
    search("英文", frmSearch::kDown);
    ASSERT_EQ(form->lblMessage->text(), kNotFound);

    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Left, Qt::Key_Down}) {
        QTest::keyClick(form->txtSearch, key);
        EXPECT_EQ(form->lblMessage->text(), kNotFound) << key;
    }
    // They still do their own work in the box.
    QTest::keyClick(form->txtSearch, Qt::Key_Home);
    EXPECT_EQ(form->txtSearch->cursorPosition(), 0);
    QTest::keyClick(form->txtSearch, Qt::Key_Right);
    EXPECT_EQ(form->txtSearch->cursorPosition(), 1);
    QTest::keyClick(form->txtSearch, Qt::Key_End);
    EXPECT_EQ(form->txtSearch->cursorPosition(), 2);
    EXPECT_EQ(form->lblMessage->text(), kNotFound);
    QTest::keyClick(form->txtSearch, Qt::Key_Backspace);
    EXPECT_TRUE(form->lblMessage->text().isEmpty());

    search("英文", frmSearch::kDown);
    ASSERT_EQ(form->lblMessage->text(), kNotFound);
    QTest::keyClick(form->txtSearch, Qt::Key_A);
    EXPECT_TRUE(form->lblMessage->text().isEmpty());

    // Text that the input method commits is typed too.
    search("英文", frmSearch::kDown);
    QInputMethodEvent committed;
    committed.setCommitString("英");
    QApplication::sendEvent(form->txtSearch, &committed);
    EXPECT_TRUE(form->lblMessage->text().isEmpty());

    form->txtSearch->setText("介紹");
    form->optDirect[frmSearch::kUp]->setChecked(true);
    QTest::keyClick(form->txtSearch, Qt::Key_Return);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000105");
}

TEST_F(SearchWindowTest, ClearEmptiesTheTextAndCancelClosesTheWindow) {
    select("QUIZ_U3000105");
    search("英文", frmSearch::kDown);

    QTest::mouseClick(form->cmdClear, Qt::LeftButton);
    EXPECT_TRUE(form->txtSearch->text().isEmpty());
    EXPECT_TRUE(form->lblMessage->text().isEmpty());

    window->treMain->setEnabled(false);
    QTest::mouseClick(form->cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(window->treMain->isEnabled());
    EXPECT_FALSE(gSearchOpen);
    EXPECT_TRUE(waitFor([] { return !FormInstance<frmSearch>::isLoaded(); }));
}

// The learner goes on typing in the search box after picking a node in the
// main window's tree.
TEST_F(SearchWindowTest, ANodeClickLeavesTheSearchWindowActiveWithTheFocusInItsBox) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    select("QUIZ_U1000102");

    EXPECT_TRUE(waitFor([this] { return QApplication::activeWindow() == form; }));
    EXPECT_EQ(QApplication::focusWidget(), form->txtSearch);
}

// Enter after Enter walks on through the questions, found or not.
TEST_F(SearchWindowTest, AfterASearchTheFocusStaysInTheBoxForTheNextEnter) {
    select("QUIZ_U1000101");
    ASSERT_TRUE(waitFor([this] { return QApplication::focusWidget() == form->txtSearch; }));
    QWindow* keys = form->windowHandle();
    QTest::keyClick(keys, 'i');
    QTest::keyClick(keys, 's');
    QTest::keyClick(keys, Qt::Key_Return);
    EXPECT_EQ(selectedKey(), "QUIZ_U3000104");
    EXPECT_EQ(QApplication::focusWidget(), form->txtSearch);

    QTest::keyClick(keys, Qt::Key_Return);
    EXPECT_EQ(form->lblMessage->text(), kNotFound);
    EXPECT_EQ(QApplication::focusWidget(), form->txtSearch);

    clickThroughWindow(form->lblDirect[frmSearch::kUp]);
    QTest::keyClick(keys, Qt::Key_Return);
    EXPECT_EQ(selectedKey(), "QUIZ_U1000101");
}

// The walk stops short of the question it would have found.
TEST_F(SearchWindowTest, ClosingTheWindowDuringTheWalkGivesTheMainWindowBack) {
    select("QUIZ_U1000101");
    form->txtSearch->setText("介紹");
    // The close ends its fade at once, so the window is gone while the walk
    // still runs.
    QTimer::singleShot(0, form, [this] {
        clickThroughWindow(form->imgClose);
        for (int tick = 0; tick < 50 && form->tmrTransparentForm->isActive(); ++tick) {
            form->tmrTransparentForm_Timer();
        }
    });
    QTest::mouseClick(form->cmdSearch, Qt::LeftButton);

    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(FormInstance<frmSearch>::isLoaded());
    EXPECT_EQ(selectedKey(), "QUIZ_U1000101");
}

template <class Form>
void expectUnloadedByTheWindowSystemsClose(const bool& openFlag) {
    Form* form = FormInstance<Form>::get();
    form->show();
    closeByWindowSystem(form);
    EXPECT_FALSE(openFlag);
    EXPECT_TRUE(QTest::qWaitFor([] { return !FormInstance<Form>::isLoaded(); }));
}

// The next opening makes a fresh window: one that was only hidden would
// come back as it was, its open flag still set.
TEST_F(SearchWindowTest, TheWindowSystemsCloseUnloadsEachToolWindowAndClearsItsFlag) {
    select("QUIZ_U1000101");
    expectUnloadedByTheWindowSystemsClose<frmSearch>(gSearchOpen);
    expectUnloadedByTheWindowSystemsClose<frmSample>(gSampleOpen);
    expectUnloadedByTheWindowSystemsClose<frmSentence>(gSentenceOpen);
    expectUnloadedByTheWindowSystemsClose<frmErrSentence>(gErrSentenceOpen);
}

TEST_F(SearchWindowTest, TheMovingBarEntersAgainFromTheLeft) {
    const int start = form->imgProgressFlash->x();
    form->tmrProgressFlash_Timer();
    EXPECT_GT(form->imgProgressFlash->x(), start);
    for (int i = 0; i < 100; ++i) {
        form->tmrProgressFlash_Timer();
        EXPECT_LT(form->imgProgressFlash->x(), form->picProgress->width());
    }
}

}  // namespace
