#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWebEngineView>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "tests/screens/screenshotfixture.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"

using namespace mainmeasures;

namespace {

struct ToolBarLook {
    int style;  // the index of the look's item in the set-up menu
    const char* name;
};

void PrintTo(const ToolBarLook& look, std::ostream* stream) {
    *stream << look.name;
}

class MainWindowScreens : public ScreenshotTest {
protected:
    void clickButton(int button) {
        QTest::mouseClick(window->picMenus[button], Qt::LeftButton, {}, QPoint(3, 3));
    }
    // A click of the mouse on the middle of an element of the page.
    void clickElement(const QString& selector) {
        const QVariantList box =
            window->webMain
                ->runJavaScriptSync("var r = document.querySelector(\"" + selector +
                                    "\").getBoundingClientRect();"
                                    "[r.left + r.width / 2, r.top + "
                                    "r.height / 2]")
                .toList();
        ASSERT_EQ(box.size(), 2) << selector.toStdString();
        auto* view = window->webMain->findChild<QWebEngineView*>();
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {},
                          QPoint(box.at(0).toInt(), box.at(1).toInt()));
    }
    // Drops the menu down from the menu bar, as a click on its title does.
    void dropDown(QMenu* menu) {
        window->menuBar()->setActiveAction(menu->menuAction());
        ASSERT_TRUE(waitFor([menu] { return menu->isVisible(); }));
    }
    // The menu bar and the menu below it, in global coordinates.
    QRect menuArea(QMenu* menu) const {
        const QRect bar(window->menuBar()->mapToGlobal(QPoint(0, 0)), window->menuBar()->size());
        return bar.united(menu->frameGeometry()).adjusted(0, 0, kMenuMargin, kMenuMargin);
    }
    static constexpr int kMenuMargin = 20;

    bool pageShows(const QString& text) {
        return waitFor([&] {
            return window->webMain
                ->runJavaScriptSync("document.body ? document.body.innerText : ''")
                .toString()
                .contains(text);
        });
    }
};

class ToolBarScreens : public MainWindowScreens,
                       public ::testing::WithParamInterface<ToolBarLook> {};

// Every button but the one that shares its place with the next shows its
// caption, its icon where the look has icons, and keeps to its own place
// within the window.
void expectToolBarReadable(frmMain* window, int style) {
    const bool withIcons = style != 2;
    QRect previous;
    for (int i = 0; i < kToolButtonCount; ++i) {
        if (i == kButtonPageBack) {
            continue;
        }
        SCOPED_TRACE(i);
        QLabel* button = window->picMenus[i];
        EXPECT_TRUE(button->isVisible());
        EXPECT_FALSE(window->lblMenus[i]->text().isEmpty());
        EXPECT_TRUE(button->rect().contains(window->lblMenus[i]->geometry()));
        EXPECT_EQ(window->imgMenus[i]->isVisible(), withIcons);
        if (withIcons) {
            EXPECT_FALSE(window->imgMenus[i]->pixmap().isNull());
            EXPECT_TRUE(button->rect().contains(window->imgMenus[i]->geometry()));
        }
        const QRect place(button->mapTo(window, QPoint(0, 0)), button->size());
        EXPECT_TRUE(window->rect().contains(place));
        EXPECT_FALSE(place.intersects(previous));
        previous = place;
    }
}

TEST_P(ToolBarScreens, TheResultOfACheckUnderEachToolBarLook) {
    openCourse();
    checkSomeSentences();
    window->mnuButtonImages_Click(GetParam().style);

    expectShownSanely(window);
    expectToolBarReadable(window, GetParam().style);
    EXPECT_FALSE(shoot(window, QString("main-") + GetParam().name).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Looks, ToolBarScreens,
                         ::testing::Values(ToolBarLook{0, "large-icons"},
                                           ToolBarLook{1, "small-icons"},
                                           ToolBarLook{2, "captions-only"}),
                         [](const auto& info) {
                             return QString(info.param.name).remove('-').toStdString();
                         });

class MenuScreens : public MainWindowScreens, public ::testing::WithParamInterface<const char*> {};

// What each edition offers differs by menu item; every item shown has its
// text.
TEST_P(MenuScreens, TheFileMenuOfEachEdition) {
    openCourse(GetParam());
    dropDown(window->mnuFile);

    expectShownSanely(window->mnuFile);
    for (QAction* item : window->mnuFile->actions()) {
        EXPECT_TRUE(!item->isVisible() || item->isSeparator() || !item->text().isEmpty());
    }
    EXPECT_FALSE(
        shoot(window->mnuFile, QString("menu-file-") + GetParam(), menuArea(window->mnuFile))
            .isEmpty());
    window->mnuFile->hide();
}

INSTANTIATE_TEST_SUITE_P(Editions, MenuScreens, ::testing::Values("LXV", "LXQ", "LXM"));

TEST_F(MainWindowScreens, TheSetUpMenu) {
    openCourse();
    dropDown(window->mnuSetup);

    expectShownSanely(window->mnuSetup);
    EXPECT_FALSE(shoot(window->mnuSetup, "menu-setup-LXV", menuArea(window->mnuSetup)).isEmpty());
    window->mnuSetup->hide();
}

TEST_F(MainWindowScreens, TheStatisticsPageAndTheWrongSentencesOfACode) {
    openCourse();
    checkSomeSentences();

    clickButton(kButtonErrors);
    ASSERT_TRUE(pageShows("以下是依據您的犯錯類別"));
    ASSERT_TRUE(waitFor([&] {
        return window->webMain->runJavaScriptSync("document.getElementById('imgoffAG').complete")
            .toBool();
    }));
    clickElement("#imgoffAG");
    EXPECT_TRUE(waitFor([&] {
        return window->webMain->runJavaScriptSync("document.getElementById('divAG').style.display")
                   .toString() == "inline";
    }));
    EXPECT_FALSE(shoot(window, "main-statistics-page").isEmpty());

    clickElement("#td_AG001 a");
    ASSERT_TRUE(waitFor([] { return FormInstance<frmErrSentence>::isLoaded(); }));
    frmErrSentence* wrong = FormInstance<frmErrSentence>::get();
    ASSERT_TRUE(waitFor([wrong] { return wrong->isVisible(); }));
    expectShownSanely(wrong);
    EXPECT_FALSE(shoot(wrong, "frmErrSentence").isEmpty());
}

TEST_F(MainWindowScreens, TheProgressPage) {
    openCourse();
    checkSomeSentences();

    clickButton(kButtonProgress);

    ASSERT_TRUE(pageShows("自訂期限型"));
    // The course's fifteen questions, without its root and unit rows.
    EXPECT_TRUE(pageShows("(總題數 15)"));
    EXPECT_TRUE(waitFor([&] {
        return window->webMain
            ->runJavaScriptSync(
                "Array.from(document.images).every(i => i.complete && i.naturalWidth > 0)")
            .toBool();
    }));
    expectShownSanely(window);
    EXPECT_FALSE(shoot(window, "main-progress-page").isEmpty());
}

}  // namespace
