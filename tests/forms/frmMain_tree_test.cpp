#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmMain.h"
#include "workspace/treeimages.h"

namespace {

constexpr int kLoadTimeoutMs = 20000;
// As the message window shows it: a short text stands one line down.
const QString kNoCourseText = QStringLiteral("\n無法找到指定的課程內容。");

// The demo course installed with a study plan, so that opening it asks for
// no plan.
class CourseTreeBase : public MainWindowTest {
protected:
    void installCourseWithPlan() {
        installDemoCourse();
        writeDescriptor("DEMO",
                        {"DEMO", "descriptor name", "勤奮好學型", "40", "2024/3/1", "2024/4/9"});
    }

    QString coursePath(const QString& file) const { return ProductFolder() + "/DEMO/" + file; }

    void writeDescriptor(const QString& courseId, const QStringList& lines) {
        ASSERT_TRUE(big5::writeLines(ProductFolder() + "/" + courseId + ".lxs", lines));
    }

    void writeNodeSet(const QByteArray& bytes) { writeBytes(coursePath("node.set"), bytes); }

    void runSql(const QString& sql) {
        BuildConnStrings();
        ASSERT_TRUE(db::execute(sql, gCourseConnStr)) << sql.toStdString();
    }

    TreeNode* node(const QString& key) const { return window->treMain->nodeByKey(key); }

    frmMain* window = nullptr;
};

// The main window as the start leaves it with the demo course open.
class CourseTreeTest : public CourseTreeBase {
protected:
    void SetUp() override {
        CourseTreeBase::SetUp();
        setUpEdition("LXV");
        installCourseWithPlan();
        setLastCourse("DEMO");
        window = FormInstance<frmMain>::get();
        ASSERT_EQ(gCourseId, "DEMO");
        ASSERT_EQ(window->treMain->count(), 19);
        QFile::remove(coursePath("node.set"));
    }
};

TEST_F(CourseTreeTest, DemoCourseGivesRootUnitsAndQuestionsInOrder) {
    ASSERT_TRUE(window->GetListTree());
    TreeView* tree = window->treMain;
    ASSERT_EQ(tree->count(), 1 + 3 + 15);

    TreeNode* root = tree->nodeByIndex(1);
    EXPECT_EQ(root->key(), "DEMO0000");
    EXPECT_EQ(root->text(), "英文造句入門");
    EXPECT_EQ(root->image(), treeimage::kCourseRoot);
    EXPECT_EQ(root->tag(), "");
    EXPECT_EQ(window->mRootNode, root);

    TreeNode* unit = tree->nodeByIndex(2);
    EXPECT_EQ(unit->key(), "U1000100");
    EXPECT_EQ(unit->text(), "01 自我介紹");
    EXPECT_EQ(unit->tag(), "unit1.htm");
    EXPECT_EQ(unit->image(), treeimage::kUnitOpen);
    EXPECT_EQ(unit->parentNode(), root);

    TreeNode* question = tree->nodeByIndex(3);
    EXPECT_EQ(question->key(), "QUIZ_U1000101");
    EXPECT_EQ(question->text(), "01 我的名字");
    EXPECT_EQ(question->image(), treeimage::kQuestionNew);
    EXPECT_EQ(question->selectedImage(), treeimage::kQuestionNewSelected);
    EXPECT_EQ(question->parentNode(), unit);

    EXPECT_EQ(tree->nodeByIndex(7)->key(), "QUIZ_U1000105");
    EXPECT_EQ(tree->nodeByIndex(8)->key(), "U2000100");
    EXPECT_EQ(tree->nodeByIndex(14)->key(), "U3000100");
    EXPECT_EQ(tree->nodeByIndex(19)->key(), "QUIZ_U3000105");
    EXPECT_TRUE(tree->isVisibleTo(window));
}

TEST_F(CourseTreeTest, LoadingTakesPlanFromDescriptorAndNameFromDatabase) {
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(gRootUnitId, "DEMO0000");
    EXPECT_EQ(gCourseName, "英文造句入門");
    EXPECT_EQ(gScheduleType, "勤奮好學型");
    EXPECT_EQ(gScheduleDays, 40);
    EXPECT_EQ(gScheduleStart, QDate(2024, 3, 1));
    EXPECT_EQ(gScheduleEnd, QDate(2024, 4, 9));
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "coursePath"), ProductFolder() + "/DEMO");
}

TEST_F(CourseTreeTest, MarksFollowProgressAndUnknownProgressGetsNoNode) {
    runSql("update bswunit set VISITED = '2' where UNITID = 'U1000101'");
    runSql("update bswunit set VISITED = '3' where UNITID = 'U1000102'");
    runSql("update bswunit set VISITED = '3' where PARENT = 'U3000100'");
    runSql("update bswunit set VISITED = '9' where UNITID = 'U2000105'");
    writeNodeSet("\"QUIZ_U2000105\"\r\n");
    ASSERT_TRUE(window->GetListTree());

    EXPECT_EQ(node("QUIZ_U1000101")->image(), treeimage::kQuestionWrong);
    EXPECT_EQ(node("QUIZ_U1000101")->selectedImage(), treeimage::kQuestionWrong);
    EXPECT_EQ(node("QUIZ_U1000102")->image(), treeimage::kQuestionDone);
    EXPECT_EQ(node("QUIZ_U1000102")->selectedImage(), treeimage::kQuestionDone);
    EXPECT_EQ(node("U1000100")->image(), treeimage::kUnitOpen);
    EXPECT_EQ(node("U3000100")->image(), treeimage::kUnitDone);

    EXPECT_EQ(window->treMain->count(), 18);
    EXPECT_EQ(node("QUIZ_U2000105"), nullptr);
    EXPECT_EQ(window->treMain->selectedItem(), nullptr);
    EXPECT_EQ(node("QUIZ_U2000104")->tag(), "unit2.htm");
}

TEST_F(CourseTreeTest, WithoutSavedNodeFirstUnitIsClickedAndRootExpanded) {
    gQuizSelected = true;
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(window->treMain->selectedItem(), node("U1000100"));
    EXPECT_EQ(gNodeKey, "U1000100");
    EXPECT_EQ(gUnitKey, "DEMO0000");
    EXPECT_FALSE(gQuizSelected);
    EXPECT_TRUE(window->mRootNode->isExpanded());
    EXPECT_EQ(readBytes(coursePath("node.set")), "\"U1000100\"\r\n");

    writeNodeSet("\"\"\r\n");
    gNodeKey.clear();
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(gNodeKey, "U1000100");
}

TEST_F(CourseTreeTest, SavedQuestionIsReselected) {
    writeNodeSet("\"QUIZ_U2000103\"\r\n");
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(window->treMain->selectedItem(), node("QUIZ_U2000103"));
    EXPECT_EQ(gNodeKey, "QUIZ_U2000103");
    EXPECT_EQ(gUnitKey, "U2000100");
    EXPECT_TRUE(gQuizSelected);
    EXPECT_TRUE(window->mRootNode->isExpanded());
}

TEST_F(CourseTreeTest, UnknownSavedKeySelectsNothing) {
    writeNodeSet("\"QUIZ_X9999999\"\r\n");
    gNodeKey = "before";
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(window->treMain->selectedItem(), nullptr);
    EXPECT_EQ(gNodeKey, "");
    EXPECT_FALSE(window->mRootNode->isExpanded());
    EXPECT_EQ(window->treMain->count(), 19);
}

TEST_F(CourseTreeTest, TextThatDescramblesToBlanksIsShownAsStored) {
    runSql("update bswunit set TEXT = 'plain unit' where UNITID = 'U2000100'");
    runSql("update bswunit set TEXT = null, TEACHNOTES = null where UNITID = 'U3000101'");
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(node("U2000100")->text(), "plain unit");
    EXPECT_EQ(node("QUIZ_U3000101")->text(), "");
    EXPECT_EQ(node("QUIZ_U3000101")->tag(), "");
}

TEST_F(CourseTreeTest, OnlyFirstRootRowIsRoot) {
    runSql(
        "insert into bswunit (UNITID, PARENT, TEXT, TEACHNOTES, VISITED) "
        "values ('ZZZZ0000', 'DEMO0000', 'second root', 'unit1.htm', '1')");
    runSql(
        "insert into bswunit (UNITID, PARENT, TEXT, TEACHNOTES, VISITED) "
        "values ('YYYY0000', 'NOPARENT', 'stray root', '', '1')");
    ASSERT_TRUE(window->GetListTree());
    EXPECT_EQ(window->mRootNode->key(), "DEMO0000");
    ASSERT_NE(node("ZZZZ0000"), nullptr);
    EXPECT_EQ(node("ZZZZ0000")->parentNode(), window->mRootNode);
    EXPECT_EQ(node("YYYY0000"), nullptr);
}

// Rows join the tree by their stored values, compared as the database
// compares them; only the shown texts are trimmed.
TEST_F(CourseTreeTest, StoredIdsAndProgressGroupAsTheDatabaseComparesThem) {
    runSql("update bswunit set VISITED = '3' where PARENT = 'U3000100'");
    runSql("update bswunit set VISITED = ' 2' where UNITID = 'U3000101'");
    runSql(
        "insert into bswunit (UNITID, PARENT, TEXT, TEACHNOTES, VISITED) values "
        "('U0500100 ', 'DEMO0000', 'padded unit', 'unit1.htm', '1'), "
        "('U0500101', 'U0500100', 'under padded unit', 'unit1.htm', '1'), "
        "('U1000106', 'U1000100 ', 'padded parent', 'unit1.htm', '1'), "
        "('U1000107', 'U1000101', 'under a question', 'unit1.htm', '1')");
    ASSERT_TRUE(window->GetListTree());
    TreeView* tree = window->treMain;

    EXPECT_EQ(tree->count(), 19 + 2);
    EXPECT_EQ(tree->nodeByIndex(2)->key(), "U0500100");
    EXPECT_EQ(tree->nodeByIndex(3)->key(), "QUIZ_U0500101");
    EXPECT_EQ(tree->nodeByIndex(3)->parentNode(), tree->nodeByIndex(2));
    EXPECT_EQ(tree->nodeByIndex(4)->key(), "U1000100");
    EXPECT_EQ(node("QUIZ_U1000106"), nullptr);
    EXPECT_EQ(node("QUIZ_U1000107"), nullptr);

    EXPECT_EQ(node("QUIZ_U3000101")->image(), treeimage::kQuestionWrong);
    EXPECT_EQ(node("U3000100")->image(), treeimage::kUnitDone);
    EXPECT_EQ(node("U2000100")->image(), treeimage::kUnitOpen);
}

// The main window without a course, then a damaged demo course to open.
class BrokenCourseTest : public CourseTreeBase, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        CourseTreeBase::SetUp();
        window = makeMainWindowWithoutCourse("LXV");
        ASSERT_EQ(window->treMain->count(), 0);
        installCourseWithPlan();
        gCourseId = "DEMO";
    }

    void damage(const QString& kind) {
        const QString descriptor = ProductFolder() + "/DEMO.lxs";
        if (kind == "no descriptor") {
            QFile::remove(descriptor);
        } else if (kind == "no database") {
            db::closeAllConnections();
            QFile::remove(coursePath("LexivoData.mdb"));
        } else if (kind == "no root row") {
            runSql("delete from bswunit where UNITID = 'DEMO0000'");
        } else if (kind == "no table") {
            runSql("drop table bswunit");
        }
    }
};

TEST_P(BrokenCourseTest, ShowsMessageAndBuildsNothing) {
    damage(GetParam());
    gScheduleType = "before";
    const QString coursePathSetting = SetFile_IO(gRegistrySetFile, "R", "coursePath");
    MessageAnswerer answerer("OK");
    EXPECT_FALSE(window->GetListTree());
    EXPECT_EQ(answerer.texts(), QStringList{kNoCourseText});
    EXPECT_EQ(gCourseId, "A0");
    EXPECT_TRUE(gCourseConnStr.contains("/Lexivo2/A0/LexivoData.mdb"));
    EXPECT_EQ(window->treMain->count(), 0);
    EXPECT_EQ(gScheduleType, "before");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "coursePath"), coursePathSetting);
}

INSTANTIATE_TEST_SUITE_P(Damages, BrokenCourseTest,
                         ::testing::Values("no descriptor", "no database", "no root row",
                                           "no table"));

class IncompletePlanTest : public BrokenCourseTest {};

// A descriptor without a complete plan is read as one without a plan, so
// the course opens and the learner is asked for a plan.
TEST_P(IncompletePlanTest, OpensTheCourseWithoutAPlan) {
    writeDescriptor("DEMO", QString(GetParam()).split(','));
    gScheduleType = "before";
    EXPECT_TRUE(window->GetListTree());
    EXPECT_GT(window->treMain->count(), 0);
    EXPECT_EQ(gScheduleType, "NONE");
    EXPECT_EQ(gScheduleDays, 0);
    EXPECT_EQ(gScheduleStart, QDate::currentDate());
}

INSTANTIATE_TEST_SUITE_P(Descriptors, IncompletePlanTest,
                         ::testing::Values("DEMO,name,勤奮好學型,40,2011/3/1",
                                           "DEMO,name,勤奮好學型,forty,2011/3/1,2011/4/9",
                                           "DEMO,name,勤奮好學型,40,2011/13/1,2011/4/9"));

TEST_F(CourseTreeTest, BrokenCourseLeavesShownCourseInPlace) {
    const QString shownConnection = gCourseConnStr;
    writeDescriptor("BROKEN", {"BROKEN", "name", "NONE"});
    ASSERT_TRUE(QDir().mkpath(ProductFolder() + "/BROKEN"));
    gCourseId = "BROKEN";

    QList<int> icons;
    MessageAnswerer answerer("OK", [&icons] { icons << shownMessageIcon(); });
    EXPECT_FALSE(window->GetListTree());
    EXPECT_EQ(answerer.texts(), QStringList{kNoCourseText});
    EXPECT_EQ(icons, QList<int>{1});
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(gCourseConnStr, shownConnection);
    EXPECT_EQ(window->treMain->count(), 19);
    EXPECT_EQ(window->mRootNode->key(), "DEMO0000");
}

// Node clicks.

class NodeClickTest : public CourseTreeTest {
protected:
    void SetUp() override {
        CourseTreeTest::SetUp();
        // The root is never reselected: the tree comes up with nothing shown.
        writeNodeSet("\"DEMO0000\"\r\n");
        ASSERT_TRUE(window->GetListTree());
        ASSERT_EQ(window->treMain->selectedItem(), nullptr);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    void click(const QString& key) {
        TreeNode* chosen = node(key);
        ASSERT_NE(chosen, nullptr);
        window->treMain->clickNode(chosen);
    }

    QString statusText() const { return window->stbStatus->currentMessage(); }
    QString shownPage() const { return ProductFolder() + "/manual/tmp.htm"; }
};

TEST_F(NodeClickTest, RootShowsPromptAndNoPage) {
    const QString shownUrl = window->webMain->locationURL();
    const QByteArray shownBytes = readBytes(shownPage());
    window->treMain->setFocus();
    click("DEMO0000");
    EXPECT_EQ(gNodeKey, "DEMO0000");
    EXPECT_EQ(gNodeIndex, 1);
    EXPECT_EQ(gUnitKey, "");
    EXPECT_EQ(gUnitNodeIndex, 0);
    EXPECT_FALSE(gQuizSelected);
    EXPECT_EQ(window->mInfoDisabledTab, 1);
    EXPECT_EQ(statusText(), "請選擇一個單元或練習內容");
    EXPECT_FALSE(window->picMenus[6]->isEnabled());
    EXPECT_FALSE(window->picMenus[7]->isEnabled());
    EXPECT_EQ(window->webMain->locationURL(), shownUrl);
    EXPECT_EQ(readBytes(shownPage()), shownBytes);
    EXPECT_EQ(readBytes(coursePath("node.set")), "\"DEMO0000\"\r\n");
    EXPECT_TRUE(window->treMain->isEnabled());

    // The keys go on from the chosen root, and on from the unit they choose.
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Down}) {
        QTest::keyClick(window->windowHandle(), key);
    }
    EXPECT_EQ(gNodeKey, "U2000100");
}

// Chosen while the focus is elsewhere, a unit leaves it there.
TEST_F(NodeClickTest, UnitShowsDescrambledPageWithPictureFromCourseFolder) {
    runSql("update bswunit set VISITED = '3' where UNITID = 'U1000102'");
    window->webMain->setFocus();
    click("U1000100");
    ASSERT_TRUE(window->webMain->waitForLoad(kLoadTimeoutMs));
    EXPECT_NE(window->focusWidget(), window->treMain);

    EXPECT_EQ(gNodeKey, "U1000100");
    EXPECT_EQ(gNodeTag, "unit1.htm");
    EXPECT_EQ(gUnitKey, "DEMO0000");
    EXPECT_EQ(gUnitNodeIndex, 1);
    EXPECT_EQ(window->mInfoDisabledTab, 1);
    EXPECT_EQ(statusText(), "第 01 單元，題數共 5 題，已完成 1 題。");
    EXPECT_TRUE(window->webMain->locationURL().contains("tmp.htm?tid="));
    EXPECT_TRUE(window->webMain->toPlainTextSync().contains("認識新朋友的時候"));
    const QString picture = coursePath("pic/unit1.png");
    EXPECT_TRUE(big5::readFile(shownPage()).contains("src='" + picture + "'"));
    const QVariant width = window->webMain->runJavaScriptSync(
        "document.images.length > 0 && document.images[0].complete ? "
        "document.images[0].naturalWidth : 0");
    EXPECT_GT(width.toInt(), 0);
    EXPECT_EQ(readBytes(coursePath("node.set")), "\"U1000100\"\r\n");
}

TEST_F(NodeClickTest, MissingUnitPageKeepsShownPage) {
    click("U1000100");
    ASSERT_TRUE(window->webMain->waitForLoad(kLoadTimeoutMs));
    const QString shownUrl = window->webMain->locationURL();
    const QByteArray shownBytes = readBytes(shownPage());
    ASSERT_TRUE(QFile::remove(coursePath("unit2.xtm")));

    click("U2000100");
    window->webMain->waitForLoad(kLoadTimeoutMs);
    EXPECT_EQ(window->webMain->locationURL(), shownUrl);
    EXPECT_EQ(readBytes(shownPage()), shownBytes);
    EXPECT_EQ(gNodeKey, "U2000100");
    EXPECT_TRUE(window->treMain->isEnabled());
}

TEST_F(NodeClickTest, QuestionWritesQuizTextAndReadiesInput) {
    window->txtInput->setText("left over");
    click("QUIZ_U1000101");
    ASSERT_TRUE(window->webQuiz->waitForLoad(kLoadTimeoutMs));

    EXPECT_EQ(gNodeKey, "QUIZ_U1000101");
    EXPECT_EQ(gUnitKey, "U1000100");
    EXPECT_EQ(gUnitNodeIndex, 2);
    EXPECT_TRUE(gQuizSelected);
    EXPECT_EQ(window->mInfoDisabledTab, 99);
    const QString quiz = window->webQuiz->toPlainTextSync();
    EXPECT_TRUE(quiz.contains("請用英文介紹你的名字。"));
    EXPECT_TRUE(quiz.contains("提示：My name is ... 或 I am ..."));
    EXPECT_EQ(window->mQuizHeight, 2 * 20 + 30);
    EXPECT_TRUE(window->picQuizArea->isVisible());
    EXPECT_TRUE(window->txtInput->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), window->txtInput);
    EXPECT_TRUE(window->picMenus[6]->isEnabled());
    EXPECT_TRUE(window->picMenus[7]->isEnabled());
    EXPECT_EQ(statusText(),
              "第 01 單元，題數共 5 題，已完成 0 題，目前是第 01 題。《01 我的名字》");
    EXPECT_EQ(readBytes(coursePath("node.set")), "\"QUIZ_U1000101\"\r\n");
}

TEST_F(NodeClickTest, QuizHeightFollowsLinesAndFontSize) {
    gFontSize = "12px";
    window->WriteQuizContentHtml("U1000102");
    EXPECT_EQ(window->mQuizHeight, 1 * 17 + 30);
    gFontSize = "16px";
    window->WriteQuizContentHtml("NOSUCHQUESTION");
    EXPECT_EQ(window->mQuizHeight, 30);
    db::closeAllConnections();
    QFile::remove(coursePath("LexivoData.mdb"));
    window->WriteQuizContentHtml("U1000101");
    EXPECT_EQ(window->mQuizHeight, 30);
}

TEST_F(NodeClickTest, TreeMarksAndHistorySelection) {
    TreeNode* question = node("QUIZ_U1000103");
    window->SetTreeIcon(question->index(), treeimage::kQuestionDone, treeimage::kQuestionDone);
    EXPECT_EQ(question->image(), treeimage::kQuestionDone);
    EXPECT_EQ(question->selectedImage(), treeimage::kQuestionDone);
    window->SetTreeIcon(999, 5, 5);

    gNodeKey = "before";
    gHistoryCount = 3;
    gHistoryPos = 1;
    window->SetTreeNowSelect(question->index(), false);
    EXPECT_EQ(window->treMain->selectedItem(), question);
    EXPECT_EQ(gNodeKey, "before");
    EXPECT_FALSE(window->picMenus[3]->isEnabled());
    EXPECT_TRUE(window->picMenus[4]->isEnabled());

    gHistoryPos = 3;
    window->SetTreeNowSelect(question->index(), true);
    EXPECT_EQ(gNodeKey, "QUIZ_U1000103");
    EXPECT_TRUE(window->picMenus[3]->isEnabled());
    EXPECT_FALSE(window->picMenus[4]->isEnabled());
    gHistoryCount = 0;
    gHistoryPos = 0;
}

}  // namespace
