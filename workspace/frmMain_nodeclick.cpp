#include <functional>
#include <initializer_list>
#include <QLineEdit>
#include <QStatusBar>
#include <QUrl>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/coursepaths.h"
#include "shared/descramble.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/settingsfiles.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"
#include "workspace/frmSentence.h"

namespace {

using namespace mainmeasures;

const QString kQuizPrefix = QStringLiteral("QUIZ_");
const QString kNoUnitPrompt = QStringLiteral("請選擇一個單元或練習內容");

// The root, and nodes whose text begins "unit", stand for no unit.
bool isOutsideUnits(const TreeNode* node) {
    return node->text().startsWith("unit") || node->tag().isEmpty();
}

void publishSelection(const TreeNode* node) {
    gNodeIndex = node->index();
    gNodeKey = node->key();
    gNodeTag = node->tag();
    const TreeNode* unit = frmMain::unitNodeOf(node);
    gUnitKey = unit ? unit->key() : QString();
    gUnitNodeIndex = unit ? unit->index() : 0;
}

// Replaced whole on every click, so the next start reselects this node.
void writeNodeSet(const QString& key) {
    const QString path = CourseFolder(gCourseId) + "/node.set";
    if (!big5::writeLines(path, {'"' + key + '"'})) {
        qWarning("%s could not be written", qUtf8Printable(path));
    }
}

// The unit's stored page, descrambled, with its pictures taken from the
// course folder. "" when the page is missing or cannot be descrambled.
QString readUnitPage(const QString& tag) {
    const QString folder = CourseFolder(gCourseId);
    QString page = ReadTextFile(folder + "/" + QString(tag).replace(".htm", ".xtm"));
    if (HtmlDecrypt(page).isEmpty()) {
        return QString();
    }
    return page.replace("pic/", folder + "/pic/");
}

// A page that cannot be read or written leaves the pane on the page it
// showed: tmp.htm is only replaced whole, and only navigated to once written.
void showUnitPage(Browser* browser, const QString& tag) {
    const QString page = readUnitPage(tag);
    if (page.isEmpty()) {
        qWarning("Unit page %s could not be read", qUtf8Printable(tag));
        return;
    }
    const QString shownPath = gBasePath + "/Lexivo2/" + gHtmlFolderName + "/tmp.htm";
    if (!big5::writeFile(shownPath, page)) {
        qWarning("%s could not be written", qUtf8Printable(shownPath));
        return;
    }
    // A fresh query each time keeps the browser from showing a cached copy.
    QUrl address = QUrl::fromLocalFile(shownPath);
    address.setQuery("tid=" + GetUniqueID());
    browser->Navigate2(address.toString());
}

void refreshToolWindows() {
    if (gSentenceOpen) {
        FormInstance<frmSentence>::get()->SetDefaultValue();
    }
    if (gSampleOpen) {
        FormInstance<frmSample>::get()->SetDefaultValue();
    }
    // The focus given to another window's box takes that window with it,
    // or the main window stays the active one and keeps the keys.
    if (gSearchOpen) {
        frmSearch* search = FormInstance<frmSearch>::get();
        search->raise();
        search->activateWindow();
        search->txtSearch->setFocus();
    }
}

QString quizPageHead() {
    return "<html><head>"
           "<meta http-equiv='Content-Type' content='text/html; charset=big5'>"
           "<title>QUIZ</title></head>"
           "<body bgcolor='#C2DEC2' topmargin='5' leftmargin='5' rightmargin='5' "
           "bottommargin='0' scroll='no'>"
           "<font style='font-size:" +
           gFontSize + ";color:#0000CC'>";
}

// Runs a click's steps in order. Each may pump events, and a course opened
// meanwhile replaces the tree: the click then stops without touching its
// node again, and what that opening showed stays. False when it stopped.
bool runWhileInTree(const frmMain& window, const TreeNode* node,
                    std::initializer_list<std::function<void()>> steps) {
    for (const std::function<void()>& step : steps) {
        step();
        if (!window.treMain->contains(node)) {
            return false;
        }
    }
    return true;
}

bool showQuestionNode(frmMain& window, const TreeNode* node) {
    window.mInfoDisabledTab = kNone;
    gQuizSelected = true;
    return runWhileInTree(
        window, node,
        {[&] { window.WriteQuizContentHtml(node->key().mid(kQuizPrefix.size())); },
         [&] {
             window.SetRightAreaStyle(true, true);
             window.SetMenuButtons(kButtonExamples, kStyleEnable);
         },
         [&] { window.SetMenuButtons(kButtonMySentences, kStyleEnable); },
         [&] {
             const TreeNode* parent = node->parentNode();
             window.SetStatusString(true, parent ? parent->key() : QString());
         },
         [&] { window.txtInput->clear(); }, [&] { window.txtInput->setFocus(); }});
}

// A unit shows its stored page; the root shows none.
bool showOtherNode(frmMain& window, const TreeNode* node) {
    window.mInfoDisabledTab = kTabResult;
    gQuizSelected = false;
    return runWhileInTree(window, node,
                          {[&] {
                               window.SetRightAreaStyle(false, true);
                               window.SetMenuButtons(kButtonExamples, kStyleDisable);
                           },
                           [&] { window.SetMenuButtons(kButtonMySentences, kStyleDisable); },
                           [&] {
                               if (isOutsideUnits(node)) {
                                   window.stbStatus->showMessage(kNoUnitPrompt);
                               } else {
                                   window.SetStatusString(false, node->key());
                               }
                           },
                           [&] {
                               window.SetInfoMenu(kTabContent, window.mInfoDisabledTab, false);
                               if (!node->tag().isEmpty()) {
                                   showUnitPage(window.webMain, node->tag());
                               }
                           }});
}

}  // namespace

TreeNode* frmMain::unitNodeOf(const TreeNode* node) {
    return isOutsideUnits(node) ? nullptr : node->parentNode();
}

// A node that a replaced tree held (the click that the history or the
// reselection runs after their own waits) is no longer there to show.
void frmMain::treMain_NodeClick(TreeNode* Node) {
    if (!treMain->contains(Node)) {
        return;
    }
    const bool treeHadFocus = focusWidget() == treMain;
    treMain->setEnabled(false);
    publishSelection(Node);
    const bool shown =
        gNodeKey.left(4) == "QUIZ" ? showQuestionNode(*this, Node) : showOtherNode(*this, Node);
    if (shown) {
        writeNodeSet(gNodeKey);
        treMain->viewport()->update();
        refreshToolWindows();
    }
    treMain->setEnabled(true);
    // Disabling the tree moved the keyboard focus on to the next control;
    // unless the click sent it to the input box, the arrow keys walk on.
    if (shown && treeHadFocus && !gQuizSelected) {
        treMain->setFocus();
    }
}

// An opening whose saved node is not in the new tree selects nothing: the
// question that the course before had selected must not stay open to an
// answer, which would be recorded in this course under its code.
void frmMain::showNoSelection() {
    gNodeIndex = 0;
    gNodeKey.clear();
    gNodeTag.clear();
    gUnitKey.clear();
    gUnitNodeIndex = 0;
    gQuizSelected = false;
    SetRightAreaStyle(false, true);
    stbStatus->showMessage(kNoUnitPrompt);
}

void frmMain::SetStatusString(bool pIsQuizNode, const QString& pNodeParentKey) {
    const QString parentCondition =
        "select count(*) from bswunit where PARENT = '" + SqlText(pNodeParentKey) + "' ";
    const qint64 total = GetSqlCount(parentCondition, gCourseConnStr);
    const qint64 done = GetSqlCount(parentCondition + "and VISITED = '3' ", gCourseConnStr);
    const TreeNode* node = treMain->selectedItem();
    if (!node) {
        node = treMain->nodeByIndex(gNodeIndex);
    }
    if (!node) {
        return;
    }
    const TreeNode* unit = pIsQuizNode ? node->parentNode() : node;
    QString text = "第 " + (unit ? unit->text().left(2) : QString()) + " 單元，" + "題數共 " +
                   FormatNumber(total) + " 題，" + "已完成 " + FormatNumber(done);
    if (pIsQuizNode) {
        text += " 題，目前是第 " + node->text().left(2) + " 題。《" + node->text() + "》";
    } else {
        text += " 題。";
    }
    stbStatus->showMessage(text);
    doEvents();
}

void frmMain::WriteQuizContentHtml(const QString& pKey) {
    db::Recordset record;
    if (!record.open("select * from bswqcont where QCODE = '" + SqlText(pKey) + "' order by QORDER",
                     gCourseConnStr)) {
        qWarning("Quiz text query failed: %s", qUtf8Printable(record.lastError()));
        return;
    }
    QString page = quizPageHead();
    int rows = 0;
    for (; !record.eof(); record.moveNext()) {
        const QString stored = Trim(record.text("Q1"));
        const QString decoded = DecodeMdbString(stored);
        page += (Trim(decoded).isEmpty() ? stored : decoded) + "<br>";
        ++rows;
    }
    page += "</font></body></html>";
    if (!webQuiz->writeDocument(page)) {
        return;
    }
    doEvents();
    constexpr int kLargeLineHeight = 20;
    constexpr int kSmallLineHeight = 17;
    constexpr int kMargins = 30;
    mQuizHeight = rows * (gFontSize == "16px" ? kLargeLineHeight : kSmallLineHeight) + kMargins;
}
