#include <gtest/gtest.h>

#include <functional>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "startup/frmSplash.h"
#include "tests/support/tempbase.h"
#include "tests/support/windowsystem.h"

namespace {

constexpr int kFadeWaitMs = 5000;

class SplashTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        gVersionType = "beta";
    }
    void TearDown() override {
        FormInstance<frmSplash>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TempBaseTest::TearDown();
    }
};

}  // namespace

TEST_F(SplashTest, ShowsVersionEditionAndEngineVersionOnceFadedIn) {
    writeBytes(gEnginePath + "glossor2.exe", "MZ..FILEVERSION=3.1.0.7..");
    frmSplash* splash = FormInstance<frmSplash>::get();

    EXPECT_EQ(splash->lblVersion->text(), "軟體版本 : 2.1.0 (個人版)");
    EXPECT_EQ(splash->lblEngineVer->text(), "引擎版本 : 3.1.0.7");
    EXPECT_EQ(splash->lblVerName->text(), "beta");
    EXPECT_EQ(splash->picBG->pixmap().toImage(), QPixmap(":/skin/splash-0.png").toImage());
    EXPECT_TRUE(splash->isVisible());
}

TEST_F(SplashTest, TheLXQEditionHasItsOwnPictureAndNoEngineMeansNoEngineVersion) {
    gEdition = "LXQ";
    frmSplash* splash = FormInstance<frmSplash>::get();

    EXPECT_EQ(splash->lblVersion->text(), "軟體版本 : 2.1.0 (校園版)");
    EXPECT_EQ(splash->lblEngineVer->text(), "引擎版本 : ");
    EXPECT_EQ(splash->picBG->pixmap().toImage(), QPixmap(":/skin/splash-1.png").toImage());
}

TEST_F(SplashTest, HideTimerWaitsToBeStartedAndItsTickUnloadsTheSplash) {
    frmSplash* splash = FormInstance<frmSplash>::get();
    EXPECT_FALSE(splash->tmrHide.isActive());
    EXPECT_EQ(splash->tmrHide.interval(), 1500);

    splash->tmrHide_Timer();
    EXPECT_FALSE(splash->tmrHide.isActive());
    EXPECT_TRUE(waitUntil([] { return !FormInstance<frmSplash>::isLoaded(); }, kFadeWaitMs));
}

TEST_F(SplashTest, AClickClosesTheAboutBox) {
    frmSplash* splash = FormInstance<frmSplash>::get();
    QTest::mouseClick(splash->picBG, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([] { return !FormInstance<frmSplash>::isLoaded(); }, kFadeWaitMs));
}

// A close that starts while the window fades in, its own or the window
// system's, ends the load's wait.
TEST_F(SplashTest, ACloseDuringTheFadeInEndsTheLoad) {
    const std::function<void(frmSplash*)> closes[] = {
        [](frmSplash* splash) { splash->closeForm(); }, closeByWindowSystem};
    for (const auto& close : closes) {
        QTimer::singleShot(0, [&close] { close(FormInstance<frmSplash>::get()); });
        const QPointer<frmSplash> splash = FormInstance<frmSplash>::get();

        ASSERT_FALSE(splash.isNull());
        EXPECT_EQ(splash->lblVerName->text(), "正在取得...");
        EXPECT_TRUE(waitUntil([] { return !FormInstance<frmSplash>::isLoaded(); }, kFadeWaitMs));
    }
}
