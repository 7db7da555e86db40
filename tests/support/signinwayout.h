#pragma once

#include <gtest/gtest.h>
#include <QPushButton>

#include "platform/forminstance.h"
#include "shared/globals.h"
#include "tests/support/windowsystem.h"

// Leaves a start-up sign-in form by its cancel button and then by the window
// system's close: each way ends the sign-in, without success, and unloads the
// form.
template <class Form>
void expectEachWayOutEndsTheSignInWithoutSuccess() {
    for (const bool byWindowSystem : {false, true}) {
        SCOPED_TRACE(byWindowSystem ? "window system" : "cancel");
        gLoginDone = false;
        gLoginOK = true;
        Form* form = FormInstance<Form>::get();
        form->show();
        if (byWindowSystem) {
            closeByWindowSystem(form);
        } else {
            clickThroughWindow(form->cmdCancel);
        }
        EXPECT_TRUE(gLoginDone);
        EXPECT_FALSE(gLoginOK);
        EXPECT_FALSE(FormInstance<Form>::isLoaded());
    }
}
