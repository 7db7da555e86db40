#include <gtest/gtest.h>

#include <QTimer>

#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "tests/support/mainwindowfixture.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kNavigationMs = 10000;

class PageLinksTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window = makeMainWindow("LXV");
        ASSERT_TRUE(
            db::execute("insert into errsentence values ('1', 'my *name* is', 'CP001', "
                        "'2024-01-01', 'N')",
                        gUserConnStr));
        ASSERT_TRUE(
            db::execute("insert into errsentence values ('2', 'I am *a* egg', 'AR001', "
                        "'2024-01-01', 'N')",
                        gUserConnStr));
    }

    // Whether the main pane lets the browser go to the address.
    bool passes(const QString& url) {
        bool cancel = false;
        window->webMain_BeforeNavigate2(url, cancel);
        return !cancel;
    }

    // A page in the main pane whose script follows a link, as the
    // error-statistics page's links do.
    void followLinkFromPage(const QString& url) {
        ASSERT_TRUE(window->webMain->writeDocument("<html><body><script>document.location.href='" +
                                                   url + "';</script></body></html>"));
        ASSERT_TRUE(window->webMain->waitForLoad(kNavigationMs));
    }

    QString shownList() {
        frmErrSentence* list = FormInstance<frmErrSentence>::get();
        EXPECT_TRUE(list->webMain->waitForLoad(kNavigationMs));
        return list->webMain->toPlainTextSync();
    }

    static void waitForWrongSentencesWindow() {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(kNavigationMs);
        waitUntil([&] { return gErrSentenceOpen || !deadline.isActive(); });
    }

    frmMain* window = nullptr;
};

TEST_F(PageLinksTest, AnErrorCodeLinkOpensTheWrongSentencesWindowOnce) {
    followLinkFromPage("cmd:errcode:CP001");
    waitForWrongSentencesWindow();
    ASSERT_TRUE(gErrSentenceOpen);
    frmErrSentence* opened = FormInstance<frmErrSentence>::get();
    EXPECT_TRUE(opened->isVisible());
    EXPECT_TRUE(shownList().contains("name"));
    EXPECT_NE(window->webMain->locationURL().left(4), "cmd:");

    EXPECT_FALSE(passes("cmd:errcode:AR001"));
    EXPECT_EQ(FormInstance<frmErrSentence>::get(), opened);
    const QString list = shownList();
    EXPECT_TRUE(list.contains("egg"));
    EXPECT_FALSE(list.contains("name"));
}

TEST_F(PageLinksTest, ACommandWithoutTheErrorCodePartPassesTheWholeAddress) {
    ASSERT_TRUE(
        db::execute("insert into errsentence values ('3', 'odd one', 'cmd:other', "
                    "'2024-01-01', 'N')",
                    gUserConnStr));
    EXPECT_FALSE(passes("cmd:other"));
    EXPECT_TRUE(gErrSentenceOpen);
    EXPECT_TRUE(shownList().contains("odd one"));
}

// The addresses as the handler is given them: the browser engine itself
// hands a link's scheme over in lower case.
TEST_F(PageLinksTest, TheHandlerTakesOnlyTheExactLowerCasePrefixes) {
    EXPECT_TRUE(passes("CMD:errcode:CP001"));
    EXPECT_FALSE(gErrSentenceOpen);
    EXPECT_TRUE(passes("rem:clear"));
    EXPECT_FALSE(passes("rem:errcode:CP001"));
    EXPECT_TRUE(passes("http://127.0.0.1/page.htm"));
    EXPECT_FALSE(FormInstance<frmErrSentence>::isLoaded());
}

}  // namespace
