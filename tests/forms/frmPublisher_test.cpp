#include <gtest/gtest.h>

#include <functional>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "shared/servicescripts.h"
#include "shared/settingsfiles.h"
#include "startup/frmPublisher.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/standinprocess.h"
#include "tests/support/windowsystem.h"

namespace {

constexpr int kPollIntervalMs = 5;
constexpr int kPageLoadMs = 10000;
constexpr int kNewsDeadlineMs = 20000;

// Acts on the news window once it is shown and its page has loaded. A news
// window still up at the deadline fails the test and ends the program's
// waits, so that the news fetch that waits on it returns.
class WhenNewsShown {
public:
    explicit WhenNewsShown(std::function<void(frmPublisher*)> act) {
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout, [] {
            if (FormInstance<frmPublisher>::isLoaded()) {
                ADD_FAILURE() << "the news window is still up after " << kNewsDeadlineMs << " ms";
                waits::endAll();
            }
        });
        m_deadline.start(kNewsDeadlineMs);
        m_timer.setInterval(kPollIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this, act] {
            if (!FormInstance<frmPublisher>::isLoaded() ||
                !FormInstance<frmPublisher>::get()->isVisible()) {
                return;
            }
            m_timer.stop();
            ++m_shown;
            frmPublisher* window = FormInstance<frmPublisher>::get();
            window->webMain->waitForLoad(kPageLoadMs);
            act(window);
        });
        m_timer.start();
    }
    int shown() const { return m_shown; }

private:
    QTimer m_timer;
    QTimer m_deadline;
    int m_shown = 0;
};

class PublisherTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
        setUpEdition("LXV", standin.baseUrl());
        frmPublisher::RegisterAsNewsWindow();
        newsUrl = standin.baseUrl() + "news/1.htm";
    }

    StandinProcess standin;
    QString newsUrl;
};

}  // namespace

TEST_F(PublisherTest, OKWithoutTheTickLeavesTheNewsToBeShownAgain) {
    WhenNewsShown pressOK([](frmPublisher* window) { clickThroughWindow(window->cmdOK); });

    EXPECT_EQ(GetPublisherNews(), "OK_" + newsUrl);

    EXPECT_EQ(pressOK.shown(), 1);
    EXPECT_FALSE(FormInstance<frmPublisher>::isLoaded());
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "publisher"), "");
}

// Closed by the window system, the window leaves as by its OK button. The
// address is kept as the service names it, which the browser shows decoded.
TEST_F(PublisherTest, TickingTheLabelRemembersThePageSoThatItIsNotShownAgain) {
    newsUrl += "?t=%E6%96%B0%20x";
    ASSERT_TRUE(standin.setMode("p_publisher_news.asp", "err:OK_" + newsUrl));
    WhenNewsShown tickAndOK([](frmPublisher* window) {
        clickThroughWindow(window->lblNoshow);
        clickThroughWindow(window->lblNoshow);
        EXPECT_TRUE(window->chkNoShow->isChecked());
        closeByWindowSystem(window);
    });
    GetPublisherNews();
    ASSERT_EQ(tickAndOK.shown(), 1);
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "publisher"), newsUrl);

    EXPECT_EQ(GetPublisherNews(), "OK_" + newsUrl);
    EXPECT_FALSE(FormInstance<frmPublisher>::isLoaded());

    // As an earlier version kept it.
    SetFile_IO(gSetupSetFile, "W", "publisher", QString(newsUrl).replace("%E6%96%B0%20", "新 "));
    EXPECT_EQ(GetPublisherNews(), "OK_" + newsUrl);
    EXPECT_EQ(tickAndOK.shown(), 1);
}

// The page the learner followed a link to is the one remembered.
TEST_F(PublisherTest, TheAddressRememberedIsThatOfThePageShownLast) {
    const QString otherPage = standin.baseUrl() + "lxv_download/default.asp";
    WhenNewsShown followAndOK([&otherPage](frmPublisher* window) {
        window->webMain->Navigate2(otherPage);
        window->webMain->waitForLoad(kPageLoadMs);
        window->chkNoShow->setChecked(true);
        clickThroughWindow(window->cmdOK);
    });
    GetPublisherNews();
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "publisher"), otherPage);
}
