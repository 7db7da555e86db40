#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "tests/support/mainwindowfixture.h"
#include "workspace/frmMain.h"
#include "workspace/frmMenu.h"

namespace {

class EditMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window = makeMainWindow("LXV");
        window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000101"));
        box = window->txtInput;
    }

    void rightClickTheBox() { QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 5)); }

    // Chooses an item of the menu that the right click popped up, as the
    // learner does.
    void choose(QAction* item) {
        rightClickTheBox();
        QMenu* menu = FormInstance<frmMenu>::get()->mnuTextPopup;
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        EXPECT_FALSE(menu->isVisible());
    }
    frmMenu* menuForm() { return FormInstance<frmMenu>::get(); }
    static QClipboard* clipboard() { return QApplication::clipboard(); }

    frmMain* window = nullptr;
    QLineEdit* box = nullptr;
};

TEST_F(EditMenuTest, ARightClickPopsUpCopyCutAndPaste) {
    rightClickTheBox();

    frmMenu* form = menuForm();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Form1");
    const QList<QAction*> items = form->mnuTextPopup->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "複製(&C)");
    EXPECT_EQ(items[1]->text(), "剪下(&X)");
    EXPECT_EQ(items[2]->text(), "貼上(&V)");
    EXPECT_TRUE(form->mnuTextPopup->isVisible());
    form->mnuTextPopup->hide();
}

TEST_F(EditMenuTest, CopyPutsTheSelectionOnTheClipboard) {
    box->setText("My name is Tom.");
    box->setSelection(3, 4);
    choose(menuForm()->mnuTextCopy);

    EXPECT_EQ(clipboard()->text(), "name");
    EXPECT_EQ(box->text(), "My name is Tom.");

    box->deselect();
    choose(menuForm()->mnuTextCopy);
    EXPECT_EQ(clipboard()->text(), "");
}

TEST_F(EditMenuTest, CutMovesTheSelectionToTheClipboard) {
    box->setText("My name is Tom.");
    box->setSelection(2, 5);
    choose(menuForm()->mnuTextCut);
    EXPECT_EQ(clipboard()->text(), " name");
    EXPECT_EQ(box->text(), "My is Tom.");

    box->deselect();
    box->setCursorPosition(2);
    choose(menuForm()->mnuTextCut);
    EXPECT_EQ(clipboard()->text(), "");
    EXPECT_EQ(box->text(), "My is Tom.");
}

TEST_F(EditMenuTest, PasteReplacesTheSelectionOrInsertsAtTheCaret) {
    box->setText("I am Tom.");
    box->setSelection(5, 3);
    clipboard()->setText("<Ann>");
    choose(menuForm()->mnuTextPaste);
    EXPECT_EQ(box->text(), "I am <Ann>.") << "pasting goes round the key filter";

    box->setCursorPosition(0);
    clipboard()->setText("Hi, ");
    choose(menuForm()->mnuTextPaste);
    EXPECT_EQ(box->text(), "Hi, I am <Ann>.");
}

TEST_F(EditMenuTest, PastingSwitchesTheCheckAndFeedbackButtonsAsTypingDoes) {
    ASSERT_FALSE(window->picMenus[8]->isEnabled());
    clipboard()->setText("Hello.");
    choose(menuForm()->mnuTextPaste);
    EXPECT_TRUE(window->picMenus[8]->isEnabled());
    EXPECT_TRUE(window->picMenus[9]->isEnabled());

    box->selectAll();
    choose(menuForm()->mnuTextCut);
    EXPECT_FALSE(window->picMenus[8]->isEnabled());
    EXPECT_FALSE(window->picMenus[9]->isEnabled());
}

}  // namespace
