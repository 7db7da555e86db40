#include "platform/treeview.h"

#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

#include "platform/waituntil.h"
#include "tests/support/tempbase.h"

namespace {

QIcon colourIcon(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

class TreeViewTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        images = {{2, colourIcon(Qt::red)},
                  {3, colourIcon(Qt::green)},
                  {4, colourIcon(Qt::blue)},
                  {7, colourIcon(Qt::yellow)}};
        tree.setImageList(images);
        root = tree.addNode("", "R0000", "course", 7);
        unitA = tree.addNode("R0000", "A0100", "unit one", 2);
        unitB = tree.addNode("R0000", "A0200", "unit two", 2);
        // Added last, shown under the first unit.
        question = tree.addNode("A0100", "QUIZ_A0101", "question", 3, 4);
    }

    bool shows(TreeNode* node, int image) const {
        return node->icon(0).cacheKey() == images.value(image).cacheKey();
    }

    void showTree() {
        tree.expandAll();
        tree.resize(300, 300);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }

    void clickAt(const QPoint& point) {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, point);
    }

    QMap<int, QIcon> images;
    TreeView tree;
    TreeNode* root = nullptr;
    TreeNode* unitA = nullptr;
    TreeNode* unitB = nullptr;
    TreeNode* question = nullptr;
};

TEST_F(TreeViewTest, NodesAreFoundByKeyAndByInsertionIndex) {
    ASSERT_EQ(tree.count(), 4);
    EXPECT_EQ(tree.nodeByIndex(1), root);
    EXPECT_EQ(tree.nodeByIndex(4), question);
    EXPECT_EQ(question->index(), 4);
    EXPECT_EQ(tree.nodeByIndex(0), nullptr);
    EXPECT_EQ(tree.nodeByIndex(5), nullptr);
    EXPECT_EQ(tree.nodeByKey("QUIZ_A0101"), question);
    EXPECT_EQ(tree.nodeByKey("quiz_a0101"), nullptr);
    EXPECT_EQ(question->parentNode(), unitA);
    EXPECT_EQ(root->parentNode(), nullptr);
    EXPECT_EQ(root->childNodes(), (QList<TreeNode*>{unitA, unitB}));
    EXPECT_EQ(question->text(), "question");
    unitA->setTag("u1.htm");
    EXPECT_EQ(tree.nodeByKey("A0100")->tag(), "u1.htm");
}

TEST_F(TreeViewTest, TakenKeyOrMissingParentAddsNothing) {
    EXPECT_EQ(tree.addNode("R0000", "A0100", "again"), nullptr);
    EXPECT_EQ(tree.addNode("NOPE", "A0300", "orphan"), nullptr);
    EXPECT_EQ(tree.count(), 4);
    EXPECT_EQ(tree.nodeByKey("A0100")->text(), "unit one");
    EXPECT_EQ(tree.nodeByKey("A0300"), nullptr);
}

TEST_F(TreeViewTest, ClearStartsTheIndexAgain) {
    tree.setSelected(question);
    {
        // A handler that waits while the tree is cleared still holds its node.
        const waits::RunningWait waiting;
        tree.clear();
        EXPECT_FALSE(tree.contains(question));
        EXPECT_EQ(question->key(), "QUIZ_A0101");
    }
    EXPECT_EQ(tree.count(), 0);
    EXPECT_EQ(tree.nodeByKey("R0000"), nullptr);
    EXPECT_EQ(tree.selectedItem(), nullptr);
    TreeNode* fresh = tree.addNode("", "R0000", "course", 7);
    EXPECT_EQ(fresh->index(), 1);
    EXPECT_EQ(tree.nodeByIndex(1), fresh);
    EXPECT_TRUE(tree.contains(fresh));
}

TEST_F(TreeViewTest, SelectedImageIsShownOnlyWhileSelected) {
    EXPECT_TRUE(shows(question, 3));
    tree.setSelected(question);
    EXPECT_EQ(tree.selectedItem(), question);
    EXPECT_TRUE(shows(question, 4));
    tree.setSelected(unitB);
    EXPECT_TRUE(shows(question, 3));
    // A node without a selected image keeps its image while selected.
    EXPECT_TRUE(shows(unitB, 2));
}

TEST_F(TreeViewTest, ChangedImagesShowAtOnce) {
    tree.setSelected(question);
    question->setImage(2);
    EXPECT_TRUE(shows(question, 4));
    question->setSelectedImage(7);
    EXPECT_TRUE(shows(question, 7));
    tree.setSelected(root);
    EXPECT_TRUE(shows(question, 2));

    const QIcon replacement = colourIcon(Qt::black);
    images[2] = replacement;
    tree.setImageList(images);
    EXPECT_EQ(unitA->icon(0).cacheKey(), replacement.cacheKey());
}

TEST_F(TreeViewTest, MouseAndKeysRaiseNodeClickAndCodeDoesNot) {
    showTree();
    QSignalSpy clicks(&tree, &TreeView::NodeClick);

    tree.setSelected(unitA);
    EXPECT_EQ(clicks.count(), 0);

    clickAt(tree.visualItemRect(unitB).center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).value<TreeNode*>(), unitB);
    EXPECT_EQ(tree.selectedItem(), unitB);

    // A click on the node that is selected already is a choice too.
    clickAt(tree.visualItemRect(unitB).center());
    EXPECT_EQ(clicks.count(), 2);

    tree.setSelected(unitA);
    QTest::keyClick(tree.viewport(), Qt::Key_Down);
    ASSERT_EQ(clicks.count(), 3);
    EXPECT_EQ(clicks.at(2).at(0).value<TreeNode*>(), question);
    EXPECT_TRUE(shows(question, 4));

    tree.clickNode(root);
    ASSERT_EQ(clicks.count(), 4);
    EXPECT_EQ(clicks.at(3).at(0).value<TreeNode*>(), root);
}

TEST_F(TreeViewTest, ExpandSignIsNoChoice) {
    showTree();
    QSignalSpy clicks(&tree, &TreeView::NodeClick);
    const QRect row = tree.visualItemRect(unitA);
    clickAt(QPoint(row.left() - tree.indentation() / 2, row.center().y()));
    EXPECT_FALSE(unitA->isExpanded());
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(TreeViewTest, SelectingRevealsACollapsedNode) {
    tree.collapseAll();
    tree.setSelected(question);
    EXPECT_TRUE(unitA->isExpanded());
    EXPECT_TRUE(root->isExpanded());
}

}  // namespace
