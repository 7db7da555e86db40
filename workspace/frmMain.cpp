#include "workspace/frmMain.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/coursepaths.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "shared/serverconfig.h"
#include "shared/settingsfiles.h"
#include "shared/skin.h"
#include "startup/frmClassSelect.h"
#include "startup/frmSplash.h"
#include "startup/frmStartup.h"
#include "workspace/batchedrepaint.h"
#include "workspace/formpost.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain_measures.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"
#include "workspace/frmSentence.h"
#include "workspace/twipsgeometry.h"

using namespace mainmeasures;
using namespace twipsgeometry;

namespace {

constexpr int kSyncMessageWaitMs = 1000;
constexpr int kReloadClassWaitMs = 3000;
constexpr int kMessageMs = 1000;
constexpr int kEngineResponseMs = 1000;

constexpr int kAnswerFontPixels = 20;

const QColor kSplitterColour(0xa9, 0xbc, 0xd0);
const QColor kToolBarColour(0xee, 0xf4, 0xfa);
const QColor kPaneColour(0xf7, 0xf9, 0xfc);
const QColor kInfoAreaColour(0xd9, 0xe4, 0xee);
const QColor kQuizAreaColour(0xc2, 0xde, 0xc2);
const QColor kAnswerAreaColour(0xe8, 0xf1, 0xe8);
const QColor kStatusLineColour(0xe4, 0xec, 0xf4);

void fillBackground(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

QWidget* newPane(QWidget* parent, const QColor& colour) {
    auto* pane = new QWidget(parent);
    fillBackground(pane, colour);
    return pane;
}

QPixmap skinPicture(const QString& name) {
    return QPixmap(":/skin/main/" + name + ".png");
}

QAction* addItem(QMenu* menu, const QString& caption, bool enabled = true) {
    QAction* item = menu->addAction(caption);
    item->setEnabled(enabled);
    return item;
}

// One item of the group checked at a time; the first to begin with.
template <std::size_t N>
void fillCheckedGroup(QMenu* menu, std::array<QAction*, N>& items,
                      const std::array<const char*, N>& captions) {
    auto* group = new QActionGroup(menu);
    for (std::size_t i = 0; i < N; ++i) {
        items[i] = group->addAction(QString::fromUtf8(captions[i]));
        items[i]->setCheckable(true);
        menu->addAction(items[i]);
    }
    items[0]->setChecked(true);
}

}  // namespace

frmMain::frmMain() {
    ensureSkinResources();
    setWindowTitle("Lexivo");
    // The designed size, which the window takes when it is not maximized.
    resize(twipsToPixels(kMinWindowWidth), twipsToPixels(kMinWindowHeight));
    loadPictures();
    buildMenus();
    buildPanes();
    buildToolBar();
    connectTimers();
    installMouseFilters();
    connectSentenceCheck();
    connectPageLinks();
    connect(treMain, &TreeView::NodeClick, this, &frmMain::treMain_NodeClick, Qt::UniqueConnection);
    connectMenus();
}

frmMain::~frmMain() = default;

void frmMain::loadPictures() {
    for (int i = 0; i < kToolButtonCount; ++i) {
        imgMenusPic[i] = skinPicture(QString("tool-%1").arg(i));
        imgMenusPicDisable[i] = skinPicture(QString("tool-%1-off").arg(i));
    }
    for (int face = 0; face < 3; ++face) {
        imgMenusBtn[face] = skinPicture(QString("button-large-%1").arg(face));
        imgMenusSmallBtn[face] = skinPicture(QString("button-small-%1").arg(face));
    }
    imgInfoMenuOn = skinPicture("tab-on");
    imgInfoMenuOff = skinPicture("tab-off");
    for (const char* key : {"OPEN", "PRINT", "PREVIEW", "BUTTONS", "FONT", "HELP", "WEB"}) {
        ilsIcons.emplace_back(key, QIcon(skinPicture("menu-" + QString(key).toLower())));
    }
    for (int image = 2; image <= 8; ++image) {
        istTree.insert(image, QIcon(skinPicture(QString("tree-%1").arg(image))));
    }
}

void frmMain::buildMenus() {
    buildFileMenu();
    buildSetupMenu();
    buildHelpMenu();
}

void frmMain::buildFileMenu() {
    mnuFile = menuBar()->addMenu("檔案(&F)");
    mnuFileOpen = addItem(mnuFile, "載入課程");
    mnuDownloadCourse = addItem(mnuFile, "下載課程", false);
    mnuFileInstall = addItem(mnuFile, "安裝已下載的課程", false);
    mnuF1 = mnuFile->addSeparator();
    mnuFileSave = addItem(mnuFile, "儲存檔案", false);
    mnuFileSave->setShortcut(QKeySequence("Ctrl+S"));
    mnuSync = addItem(mnuFile, "同步資料");
    mnuF2 = mnuFile->addSeparator();
    mnuImportSync = addItem(mnuFile, "匯入其他帳號資料");
    mnuF4 = mnuFile->addSeparator();
    mnuRebuildEngine = addItem(mnuFile, "引擎重建");
    mnuH2 = mnuFile->addSeparator();
    mnuPrintSetup = addItem(mnuFile, "設定列印格式");
    mnuPrint = addItem(mnuFile, "列印");
    mnuPrint->setShortcut(QKeySequence("Ctrl+P"));
    mnuPrintPreview = addItem(mnuFile, "預覽列印");
    mnuF3 = mnuFile->addSeparator();
    mnuExit = addItem(mnuFile, "結束離開");
    mnuExit->setShortcut(QKeySequence("Ctrl+X"));
}

void frmMain::buildSetupMenu() {
    mnuSetup = menuBar()->addMenu("設定(&S)");
    mnuButtonImage = mnuSetup->addMenu("快速按鈕圖示");
    fillCheckedGroup<3>(mnuButtonImage, mnuButtonImages, {"大圖示", "小圖示", "無圖示"});
    mnuFontSize = mnuSetup->addMenu("問題區字形");
    fillCheckedGroup<2>(mnuFontSize, mnuFontSizes, {"大字型", "小字型"});
    mnuS1 = mnuSetup->addSeparator();
    mnuSchedule = addItem(mnuSetup, "進度計劃");
    mnuS2 = mnuSetup->addSeparator();
    mnuCleanError = addItem(mnuSetup, "清空犯錯記錄");
    mnuCleanSchedule = addItem(mnuSetup, "清空學習記錄");
    mnuCleanRec = addItem(mnuSetup, "清空我的造句");
}

void frmMain::buildHelpMenu() {
    mnuHelp = menuBar()->addMenu("幫助(&H)");
    mnuManual = addItem(mnuHelp, "使用手冊");
    mnuLearnWeb = addItem(mnuHelp, "學習網站", false);
    mnuH1 = mnuHelp->addSeparator();
    mnuWeb = addItem(mnuHelp, "服務及其他試用");
    mnuH3 = mnuHelp->addSeparator();
    mnuAbout = addItem(mnuHelp, "關於lexivo");
}

// Panes are placed by ArrangeMainLayout; the controls inside them keep the
// places given here except where ReSizeRight stretches them.
void frmMain::buildPanes() {
    auto* surface = new QWidget(this);
    fillBackground(surface, kSplitterColour);
    setCentralWidget(surface);

    picMenu = newPane(surface, kToolBarColour);
    picLeft = newPane(surface, kPaneColour);
    treMain = new TreeView(picLeft);
    treMain->move(0, 0);
    treMain->setImageList(istTree);
    picRight = newPane(surface, kPaneColour);
    buildInfoArea();
    picQuizArea = newPane(picRight, kQuizAreaColour);
    moveTwips(picQuizArea, 0, 0, 0, kDefaultQuizHeight);
    webQuiz = new Browser(picQuizArea);
    webQuiz->move(0, 0);
    buildAnswerArea();

    webUpload = new Browser(surface);
    webUpload->hide();
    stbStatus = new QStatusBar(surface);
    stbStatus->setSizeGripEnabled(false);
    fillBackground(stbStatus, kStatusLineColour);
}

void frmMain::buildInfoArea() {
    picInfoArea = newPane(picRight, kInfoAreaColour);
    for (int i = 0; i < kInfoTabCount; ++i) {
        picInfoMenu[i] = new QLabel(picInfoArea);
        moveTwips(picInfoMenu[i], 0, kInfoTabTop, kInfoTabWidth, kInfoTabHeight);
        picInfoMenu[i]->setScaledContents(true);
        lblInfoMenu[i] = new QLabel(picInfoMenu[i]);
        lblInfoMenu[i]->setAlignment(Qt::AlignCenter);
        lblInfoMenu[i]->setGeometry(picInfoMenu[i]->rect());
        QFont font = lblInfoMenu[i]->font();
        font.setPixelSize(13);
        font.setBold(true);
        lblInfoMenu[i]->setFont(font);
    }
    webMain = new Browser(picInfoArea);
    setTopTwips(webMain, kWebMainTop);
}

void frmMain::buildAnswerArea() {
    picAnsArea = newPane(picRight, kAnswerAreaColour);
    moveTwips(picAnsArea, 0, 0, 0, kDefaultAnsHeight);
    txtInput = new QLineEdit(picAnsArea);
    QFont font("Arial");
    font.setPixelSize(kAnswerFontPixels);
    txtInput->setFont(font);
    moveTwips(txtInput, kTxtInputLeft, kTxtInputTop, 0, 0);
}

void frmMain::connectTimers() {
    tmrSyncMessageWait.setInterval(kSyncMessageWaitMs);
    tmrReloadClassWaitProc.setInterval(kReloadClassWaitMs);
    tmrMessage.setInterval(kMessageMs);
    tmrEngineResponse.setInterval(kEngineResponseMs);
    connect(&tmrSyncMessageWait, &QTimer::timeout, this, &frmMain::tmrSyncMessageWait_Timer);
    connect(&tmrReloadClassWaitProc, &QTimer::timeout, this,
            &frmMain::tmrReloadClassWaitProc_Timer);
    connect(&tmrMessage, &QTimer::timeout, this, &frmMain::tmrMessage_Timer);
}

// The icon inside a button lets the mouse through to the button.
void frmMain::installMouseFilters() {
    QList<QWidget*> watched{centralWidget(), picMenu,     picLeft,
                            picRight,        picInfoArea, treMain->viewport()};
    for (int i = 0; i < kToolButtonCount; ++i) {
        watched << picMenus[i] << lblMenus[i];
        imgMenus[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    for (int i = 0; i < kInfoTabCount; ++i) {
        watched << picInfoMenu[i] << lblInfoMenu[i];
    }
    for (QWidget* control : watched) {
        control->installEventFilter(this);
    }
    for (QWidget* control : {picMenu, picLeft, picInfoArea, treMain->viewport()}) {
        control->setMouseTracking(true);
    }
}

void frmMain::Form_Load() {
    if (gInFormLoad) {
        return;
    }
    gInFormLoad = true;
    RegisterMainWindow(this);
    RemoveCloseMenu(this);
    mSplitRatio = kStartSplitRatio;
    SetPopMenuIcon("OPEN", mnuFileOpen);
    SetPopMenuIcon("PRINT", mnuPrint);
    SetPopMenuIcon("PREVIEW", mnuPrintPreview);
    SetPopMenuIcon("BUTTONS", mnuButtonImage->menuAction());
    SetPopMenuIcon("FONT", mnuFontSize->menuAction());
    SetPopMenuIcon("HELP", mnuManual);
    SetPopMenuIcon("WEB", mnuWeb);
    mButtonStyle = kLargeIcons;
    SetMenuButtons(kWholeBar, kFaceNormal);
    InitialClassInterface(false);
    gFontSize = "16px";
    FormInstance<frmSplash>::get()->tmrHide.start();
    FormInstance<frmStartup>::unload();
    SetRightAreaStyle(gQuizSelected, true);
    if (gEdition == "LXQ" || gEdition == "LXM") {
        hideEditionMenus();
    }
    showMaximized();
    gStartupDone = true;
    gInFormLoad = false;
    openLastCourse();
}

// The study-plan, clean-up, sync and import commands belong to the LXV
// edition.
void frmMain::hideEditionMenus() {
    for (QAction* item : {mnuS1, mnuSchedule, mnuS2, mnuCleanError, mnuCleanSchedule, mnuCleanRec,
                          mnuSync, mnuF1, mnuImportSync, mnuF4}) {
        item->setVisible(false);
    }
}

namespace {

// A damaged setup.set may name anything; only a folder directly inside the
// product folder can be a course.
bool isCourseFolderName(const QString& name) {
    return name != "." && name != ".." && !name.contains('/') && !name.contains('\\');
}

}  // namespace

void frmMain::openLastCourse() {
    QString course = SetFile_IO(gSetupSetFile, "R", "lastCourse", "");
    if (!isCourseFolderName(course) || !FolderExists(CourseFolder(course))) {
        course.clear();
    }
    if (course.isEmpty()) {
        FormInstance<frmClassSelect>::get()->showModal();
    } else {
        FormInstance<frmClassSelect>::get()->ReloadClass(course);
    }
    if (treMain->count() == 0) {
        webMain->Navigate2(onlineManualUrl());
        DisableAllButtonMenus(true);
        SetMenuButtons(kButtonExit, kStyleEnable);
    } else if (gEdition == "LXV" && (gScheduleType.isEmpty() || gScheduleType == "NONE")) {
        mnuSchedule_Click();
    }
}

// Without a web site of its own (LXQ) the edition uses the configured one.
QString frmMain::onlineManualUrl() {
    const QString web = gWebURL.isEmpty() ? loadServerConfig().web : gWebURL;
    return web + "_htmls/LXV_manual.htm";
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// Minimizing and restoring change no size but are resizes all the same.
void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

// Leaving through the window's own close goes through the exit question,
// but not while a wait is under way: the window is disabled (a message, a
// dialog, a search) or a please-wait box is up, and the question would take
// that wait's answer or end the program in the middle of its work.
void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (isEnabled() && !frmMessage::isShown()) {
        QueryForCloseProc();
    }
}

void frmMain::Form_Resize() {
    if (!gStartupDone) {
        Form_Load();
    }
    alignStatusBar();
    ArrangeMainLayout();
    if (!gInFormLoad) {
        setToolWindowsMinimized(isMinimized());
    }
}

// The status line keeps to the bottom edge of the window's surface.
void frmMain::alignStatusBar() {
    QWidget* surface = centralWidget();
    const int height = stbStatus->sizeHint().height();
    stbStatus->setGeometry(0, surface->height() - height, surface->width(), height);
}

void frmMain::setToolWindowsMinimized(bool minimized) {
    const Qt::WindowStates state = minimized ? Qt::WindowMinimized : Qt::WindowNoState;
    if (gSampleOpen && FormInstance<frmSample>::isLoaded()) {
        FormInstance<frmSample>::get()->setWindowState(state);
    }
    if (gSentenceOpen && FormInstance<frmSentence>::isLoaded()) {
        FormInstance<frmSentence>::get()->setWindowState(state);
    }
}

void frmMain::Form_MouseDown() {
    mDragging = true;
}

void frmMain::Form_MouseMove(int X) {
    if (!mDragging) {
        return;
    }
    mSplitRatio = static_cast<double>(X) / widthTwips(centralWidget());
    mSplitRatio = std::clamp(mSplitRatio, kMinSplitRatio, kMaxSplitRatio);
    ArrangeMainLayout();
}

void frmMain::Form_MouseUp() {
    mDragging = false;
}

// The window's own surface shows only in the gap between the panes, which
// is the splitter; presses on the panes are theirs.
bool frmMain::splitterMouseEvent(QMouseEvent* event) {
    QWidget* surface = centralWidget();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (surface->childAt(event->position().toPoint())) {
                return false;
            }
            Form_MouseDown();
            return true;
        case QEvent::MouseMove:
            Form_MouseMove(pixelsToTwips(qRound(event->position().x())));
            return mDragging;
        case QEvent::MouseButtonRelease:
            Form_MouseUp();
            return false;
        default:
            return false;
    }
}

void frmMain::picLeft_Resize() {
    const int width = widthTwips(picLeft) - leftTwips(treMain);
    if (width > 0) {
        setWidthTwips(treMain, width);
    }
    const int height = heightTwips(picLeft) - topTwips(treMain);
    if (height > 0) {
        setHeightTwips(treMain, height);
    }
}

void frmMain::picRight_Resize() {
    ReSizeRight(0, 0);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (toolBarMouseEvent(watched, mouse) || infoTabMouseEvent(watched, mouse)) {
                return true;
            }
            if (watched == centralWidget()) {
                return splitterMouseEvent(mouse);
            }
            if (event->type() == QEvent::MouseMove &&
                (watched == picMenu || watched == picInfoArea || watched == picLeft ||
                 watched == treMain->viewport())) {
                picMenu_MouseMove();
            }
            break;
        }
        case QEvent::Resize:
            if (watched == picLeft) {
                picLeft_Resize();
            } else if (watched == picRight) {
                picRight_Resize();
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::CloseOtherUpForm() {
    if (gSentenceOpen) {
        gSentenceOpen = false;
        FormInstance<frmSentence>::unload();
    }
    if (gSampleOpen) {
        gSampleOpen = false;
        FormInstance<frmSample>::unload();
    }
    if (gSearchOpen) {
        gSearchOpen = false;
        FormInstance<frmSearch>::unload();
    }
    if (gErrSentenceOpen) {
        gErrSentenceOpen = false;
        FormInstance<frmErrSentence>::unload();
    }
}

void frmMain::DisableAllButtonMenus(bool pDisable) {
    const QList<QAction*> courseItems{mnuFileSave, mnuPrintSetup, mnuPrint,         mnuPrintPreview,
                                      mnuSchedule, mnuCleanError, mnuCleanSchedule, mnuCleanRec,
                                      mnuSync,     mnuImportSync};
    if (pDisable) {
        {
            BatchedRepaint wholeBar(picMenu);
            for (int i = 0; i < kToolButtonCount; ++i) {
                SetMenuButtons(i, kStyleDisable);
            }
        }
        for (QAction* item : courseItems) {
            item->setEnabled(false);
        }
        for (int i = 0; i < kInfoTabCount; ++i) {
            picInfoMenu[i]->setPixmap(imgInfoMenuOff);
            setCaptionColour(lblInfoMenu[i], kGreyedTabCaption);
        }
        return;
    }
    SetMenuButtons(kWholeBar, kFaceNormal);
    InitialClassInterface(true);
    for (QAction* item : courseItems) {
        item->setEnabled(true);
    }
}

// The position in the icon list that the menus' icon painter expects.
int frmMain::GetMenuIconIndex(const QString& pKey) const {
    for (std::size_t i = 0; i < ilsIcons.size(); ++i) {
        if (ilsIcons[i].first == pKey) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void frmMain::SetPopMenuIcon(const QString& pKey, QAction* pMenu) {
    const int index = GetMenuIconIndex(pKey);
    if (index >= 0) {
        pMenu->setIcon(ilsIcons[index].second);
    }
}
