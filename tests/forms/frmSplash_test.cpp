#include <gtest/gtest.h>

#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "startup/frmSplash.h"

TEST(SplashTest, HideTimerWaitsToBeStartedAndItsTickUnloadsTheSplash) {
    frmSplash* splash = FormInstance<frmSplash>::get();
    EXPECT_FALSE(splash->tmrHide.isActive());
    EXPECT_EQ(splash->tmrHide.interval(), 1500);

    splash->tmrHide_Timer();
    EXPECT_FALSE(splash->tmrHide.isActive());
    EXPECT_TRUE(waitUntil([] { return !FormInstance<frmSplash>::isLoaded(); }));
}
