#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <vector>

#include "platform/forminstance.h"
#include "platform/windowskin.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/skinneddialog.h"
#include "tests/support/messagewindow.h"
#include "tests/support/tempbase.h"
#include "tests/support/windowsystem.h"

namespace {

// A 120 x 80 blue skin whose top left 10 x 10 corner is magenta.
QPixmap skinWithMagentaCorner() {
    QPixmap skin(120, 80);
    skin.fill(QColor(40, 100, 180));
    QPainter painter(&skin);
    painter.fillRect(0, 0, 10, 10, QColor(255, 0, 255));
    return skin;
}

// A tool window as the program's dialogs are made: topmost, centred, with
// an open flag.
class ToolDialog : public SkinnedDialog {
public:
    ToolDialog() : SkinnedDialog(true, &gSearchOpen) {
        setSkin(skinWithMagentaCorner());
        imgBackground->setGeometry(10, 40, 100, 30);
        startFadeIn();
    }

    int resetCount = 0;
    static inline int closeClicks = 0;

protected:
    void unloadForm() override { FormInstance<ToolDialog>::unload(); }
    void picButtonsResetImage() override {
        ++resetCount;
        SkinnedDialog::picButtonsResetImage();
    }
    void imgClose_Click() override {
        ++closeClicks;
        SkinnedDialog::imgClose_Click();
    }
};

// A sign-in window: not topmost, its flag goes only when it unloads.
class SignInDialog : public SkinnedDialog {
public:
    SignInDialog() : SkinnedDialog(false, &gSampleOpen, OpenFlagClear::WhenUnloading) {
        setSkin(skinWithMagentaCorner());
        startFadeIn();
    }

protected:
    void unloadForm() override { FormInstance<SignInDialog>::unload(); }
};

template <class Dialog>
std::vector<int> tickUntilStopped(Dialog* dialog, int maxTicks = 50) {
    std::vector<int> alphas;
    for (int tick = 0; tick < maxTicks && dialog->tmrTransparentForm->isActive(); ++tick) {
        dialog->tmrTransparentForm_Timer();
        alphas.push_back(windowskin::alpha(dialog));
    }
    return alphas;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

bool samePicture(const QPixmap& shown, const QString& resource) {
    return shown.toImage() == QPixmap(resource).toImage();
}

void deleteUnloaded() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class SkinnedDialogTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        gSearchOpen = false;
        gSampleOpen = false;
        ToolDialog::closeClicks = 0;
    }
    void TearDown() override {
        FormInstance<ToolDialog>::unload();
        FormInstance<SignInDialog>::unload();
        deleteUnloaded();
        TempBaseTest::TearDown();
    }
};

TEST_F(SkinnedDialogTest, FadeInRisesBy30To240AndStops) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    EXPECT_EQ(windowskin::alpha(dialog), 0);
    EXPECT_EQ(dialog->tmrTransparentForm->interval(), 10);
    EXPECT_EQ(tickUntilStopped(dialog), (std::vector<int>{30, 60, 90, 120, 150, 180, 210, 240}));
    EXPECT_FALSE(dialog->tmrTransparentForm->isActive());
    EXPECT_TRUE(FormInstance<ToolDialog>::isLoaded());
}

TEST_F(SkinnedDialogTest, FadeOutFrom240FallsBy20ThenUnloadsWithoutLastAlpha) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    tickUntilStopped(dialog);
    dialog->startFadeOut();
    const std::vector<int> alphas = tickUntilStopped(dialog);
    EXPECT_EQ(alphas, (std::vector<int>{220, 200, 180, 160, 140, 120, 100, 80, 60, 40, 20, 20}));
    EXPECT_FALSE(FormInstance<ToolDialog>::isLoaded());
}

TEST_F(SkinnedDialogTest, CloseDuringFadeInFallsFromTheAlphaReached) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    for (int tick = 0; tick < 3; ++tick) {
        dialog->tmrTransparentForm_Timer();
    }
    ASSERT_EQ(windowskin::alpha(dialog), 90);
    dialog->startFadeOut();
    EXPECT_EQ(tickUntilStopped(dialog), (std::vector<int>{70, 50, 30, 10, 10}));
    EXPECT_FALSE(FormInstance<ToolDialog>::isLoaded());
}

TEST_F(SkinnedDialogTest, OpenFlagIsSetOnLoadAndClearedWhenTheCloseStarts) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    EXPECT_TRUE(gSearchOpen);
    dialog->startFadeOut();
    EXPECT_FALSE(gSearchOpen);
}

TEST_F(SkinnedDialogTest, SignInFlagIsClearedOnlyByTheUnloadingTick) {
    SignInDialog* dialog = FormInstance<SignInDialog>::get();
    EXPECT_TRUE(gSampleOpen);
    tickUntilStopped(dialog);
    dialog->startFadeOut();
    dialog->tmrTransparentForm_Timer();
    EXPECT_TRUE(gSampleOpen);
    tickUntilStopped(dialog);
    EXPECT_FALSE(gSampleOpen);
}

TEST_F(SkinnedDialogTest, AnOldDialogGoingAwayLeavesTheFlagOfItsSuccessor) {
    FormInstance<ToolDialog>::get();
    FormInstance<ToolDialog>::unload();
    FormInstance<ToolDialog>::get();
    deleteUnloaded();
    EXPECT_TRUE(gSearchOpen);

    FormInstance<ToolDialog>::unload();
    deleteUnloaded();
    EXPECT_FALSE(gSearchOpen);
}

TEST_F(SkinnedDialogTest, TopmostOnlyWhereAsked) {
    EXPECT_TRUE(FormInstance<ToolDialog>::get()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(
        FormInstance<SignInDialog>::get()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(FormInstance<SignInDialog>::get()->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(SkinnedDialogTest, WindowTakesTheBackgroundsSizeAndMagentaIsOutsideTheMask) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    EXPECT_EQ(dialog->size(), QSize(120, 80));
    EXPECT_EQ(dialog->picBG->pos(), QPoint(0, 0));
    EXPECT_FALSE(dialog->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(dialog->mask().contains(QPoint(9, 9)));
    EXPECT_TRUE(dialog->mask().contains(QPoint(10, 9)));
    EXPECT_TRUE(dialog->mask().contains(QPoint(60, 40)));
}

TEST_F(SkinnedDialogTest, LeftDragOnTheBackgroundMovesTheWindowAndRightDoesNot) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    dialog->show();
    const QPoint start = dialog->pos();
    const QPoint grip(60, 20);

    sendMouse(dialog->picBG, QEvent::MouseButtonPress, grip, Qt::RightButton, Qt::RightButton);
    sendMouse(dialog->picBG, QEvent::MouseMove, grip + QPoint(30, 20), Qt::NoButton,
              Qt::RightButton);
    sendMouse(dialog->picBG, QEvent::MouseButtonRelease, grip + QPoint(30, 20), Qt::RightButton,
              Qt::NoButton);
    EXPECT_EQ(dialog->pos(), start);

    sendMouse(dialog->picBG, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    // Other events on the way (a repaint) leave the drag going.
    QEvent repaint(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(dialog->picBG, &repaint);
    sendMouse(dialog->picBG, QEvent::MouseMove, grip + QPoint(30, 20), Qt::NoButton,
              Qt::LeftButton);
    sendMouse(dialog->picBG, QEvent::MouseButtonRelease, grip + QPoint(30, 20), Qt::LeftButton,
              Qt::NoButton);
    EXPECT_EQ(dialog->pos(), start + QPoint(30, 20));

    // The drag ends with the button: later moves leave the window alone.
    sendMouse(dialog->picBG, QEvent::MouseMove, grip + QPoint(90, 50), Qt::NoButton,
              Qt::LeftButton);
    EXPECT_EQ(dialog->pos(), start + QPoint(30, 20));
}

TEST_F(SkinnedDialogTest, CloseImageFollowsTheMouse) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    dialog->show();
    EXPECT_EQ(dialog->imgClose->cursor().shape(), Qt::BitmapCursor);
    EXPECT_TRUE(samePicture(dialog->imgClose->pixmap(), ":/skin/close.png"));

    sendMouse(dialog->imgClose, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(samePicture(dialog->imgClose->pixmap(), ":/skin/close-hover.png"));
    sendMouse(dialog->picBG, QEvent::MouseMove, QPoint(5, 60), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(samePicture(dialog->imgClose->pixmap(), ":/skin/close.png"));

    sendMouse(dialog->imgClose, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    sendMouse(dialog->imgBackground, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(dialog->resetCount, 1);
    EXPECT_TRUE(samePicture(dialog->imgClose->pixmap(), ":/skin/close.png"));
}

TEST_F(SkinnedDialogTest, LeftClickOnTheCloseImageStartsTheFadeOut) {
    ToolDialog* dialog = FormInstance<ToolDialog>::get();
    dialog->show();
    tickUntilStopped(dialog);
    const QPoint start = dialog->pos();

    QTest::mouseClick(dialog->imgClose, Qt::RightButton);
    EXPECT_FALSE(dialog->tmrTransparentForm->isActive());
    EXPECT_TRUE(gSearchOpen);

    QTest::mouseClick(dialog->imgClose, Qt::LeftButton);
    EXPECT_TRUE(dialog->tmrTransparentForm->isActive());
    EXPECT_FALSE(gSearchOpen);
    EXPECT_EQ(dialog->pos(), start);
    dialog->tmrTransparentForm_Timer();
    EXPECT_EQ(windowskin::alpha(dialog), 220);
}

TEST_F(SkinnedDialogTest, TheRunningTimerFadesInAndOutByItself) {
    QPointer<ToolDialog> dialog = FormInstance<ToolDialog>::get();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->tmrTransparentForm->isActive(); }));
    EXPECT_EQ(windowskin::alpha(dialog), 240);
    dialog->startFadeOut();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }));
}

// The window system's close runs the close image's road once, also while a
// message of another window is up; a window that cannot take it (disabled),
// or that the program has unloaded, is left to the program.
TEST_F(SkinnedDialogTest, TheWindowSystemsCloseTakesTheCloseImagesRoadOnce) {
    QPointer<ToolDialog> dialog = FormInstance<ToolDialog>::get();
    dialog->show();
    tickUntilStopped(dialog.data());

    dialog->setEnabled(false);
    closeByWindowSystem(dialog);
    EXPECT_EQ(ToolDialog::closeClicks, 0);
    EXPECT_TRUE(dialog->isVisible());

    dialog->setEnabled(true);
    FormInstance<frmMessage>::get()->MessageBox("26", 1, "OK", "0");
    closeByWindowSystem(dialog);
    clickMessageButton("OK");
    EXPECT_EQ(ToolDialog::closeClicks, 1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(gSearchOpen);
    closeByWindowSystem(dialog);
    EXPECT_EQ(ToolDialog::closeClicks, 1);
    tickUntilStopped(dialog.data());
    EXPECT_FALSE(FormInstance<ToolDialog>::isLoaded());

    QPointer<ToolDialog> next = FormInstance<ToolDialog>::get();
    next->show();
    FormInstance<ToolDialog>::unload();
    // Unloaded while it fades in, it fades no further.
    next->tmrTransparentForm_Timer();
    EXPECT_FALSE(next->tmrTransparentForm->isActive());
    closeByWindowSystem(next);
    deleteUnloaded();
    EXPECT_EQ(ToolDialog::closeClicks, 1);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(next.isNull());
}

}  // namespace
