#pragma once

#include <array>
#include <memory>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPixmap>
#include <QTimer>
#include <utility>
#include <vector>

class Browser;
class FormPost;
struct KeptPlan;
class QAction;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QStatusBar;
class TreeNode;
class TreeView;

// The learner's main window: course tree, page, quiz and answer panes, tool
// bar, info tabs, status line and menus.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    frmMain();
    ~frmMain() override;

    void Form_Load();

    // Layout and panes.
    void ArrangeMainLayout();
    void ReSizeRight(double pQuizHeight, double pAnsHeight);
    void SetRightAreaStyle(bool pStyle, bool pNeedResize);
    void WriteQuizContentHtml(const QString& pKey);

    // Tool bar, info tabs, status line and tree marks.
    void SetMenuButtons(int pIndex, int pStyle);
    void SetInfoMenu(int pIndex, int pDisableIndex, bool pReset);
    void InitialClassInterface(bool pOuterCall);
    void SetStatusString(bool pIsQuizNode, const QString& pNodeParentKey);
    void SetTreeIcon(int pTreeIndex, int pImageIndex, int pSelectedImageIndex);
    void SetTreeNowSelect(int pTreeIndex, bool pReGetPage);

    // Course tree and node selection. False when the course could not be
    // shown (the learner has been told).
    bool GetListTree();
    void treMain_NodeClick(TreeNode* Node);
    // No node selected, and no question open to an answer.
    void showNoSelection();
    // The unit that a node belongs to: its parent, unless the node stands
    // for no unit (null then).
    static TreeNode* unitNodeOf(const TreeNode* node);

    // Quieting the window.
    void CloseOtherUpForm();
    void DisableAllButtonMenus(bool pDisable);

    // Tool-bar and info-tab events.
    void picMenus_Click(int Index);
    void picMenus_MouseDown(int Index);
    void picMenus_MouseMove(int Index);
    void picMenus_MouseUp(int Index);
    void picMenu_MouseMove();
    void picInfoMenu_Click(int Index);

    // Timers.
    void tmrMessage_Timer();
    void tmrReloadClassWaitProc_Timer();
    void tmrSyncMessageWait_Timer();

    // Study-plan sync with the service.
    void SyncSchedule();

    // Commands whose windows and procedures come with their own features.
    void mnuSchedule_Click();
    void QueryForCloseProc();
    void PassStringToEngine();
    void CalcProgressPage();
    void CalcProgressPageLXQ();
    void GetHtmlListAllErrType();
    void GetHtmlListAllErrTypeLXQ();
    void SyncProcess(bool pNeedReload);

    // Sentence checking and recording
    void txtInput_Change();
    // KeyCode is a Windows key code, set to 0 to drop the key.
    void txtInput_KeyDown(int& KeyCode);
    // KeyAscii is the typed character's code, set to 0 to swallow it.
    void txtInput_KeyPress(int& KeyAscii);
    void txtInput_MouseUp(Qt::MouseButton Button, const QPoint& globalPos);
    void tmrEngineResponse_Timer();
    QString LXVInsertSentenceProc(const QString& pPNO, const QString& pPass,
                                  const QString& pCourseId, const QString& pQcode,
                                  const QString& pFlag, const QString& pSentence,
                                  const QString& pErrcode);
    QString LXQInsertSentenceProc(const QString& pRegId, const QString& pPass,
                                  const QString& pCourseId, const QString& pQcode,
                                  const QString& pFlag, const QString& pSentence,
                                  const QString& pErrcode);
    void webMain_BeforeNavigate2(const QString& URL, bool& Cancel);
    // The course that a check was started in: the learner may open another
    // one while the engine is asked, and the record still belongs here.
    struct CheckedCourse {
        QString id;
        QString serverId;
        QString courseConn;
        QString userConn;
    };
    // Stores, counts and uploads the graded sentence, and moves the
    // question's progress, history and tree marks.
    void recordCheckResult(const QString& pStatus, const QString& pErrCode,
                           const QString& pSentence, const QString& pQuestionCode,
                           const CheckedCourse& pCourse);
    // Hooks the input box, the engine timer and the page links up.
    void connectSentenceCheck();
    void connectPageLinks();
    // Seconds waited for the engine in the running check.
    int mEngineTicks = 0;
    QElapsedTimer mEngineWaitClock;
    // True while a check waits for the engine, so that no second one starts.
    bool mCheckRunning = false;
    // The running check's sentence upload, from its submit until its answer
    // is awaited; none when the service was offline.
    std::unique_ptr<FormPost> mSentenceUpload;

    // Menu commands, course install and the descriptor writer
    void connectMenus();
    void mnuFileOpen_Click();
    void mnuDownloadCourse_Click();
    void mnuFileInstall_Click();
    void mnuFileSave_Click();
    void mnuSync_Click();
    void mnuImportSync_Click();
    void mnuRebuildEngine_Click();
    void mnuPrintSetup_Click();
    void mnuPrint_Click();
    void mnuPrintPreview_Click();
    void mnuExit_Click();
    void mnuButtonImages_Click(int Index);
    void mnuFontSizes_Click(int Index);
    void mnuCleanError_Click();
    void mnuCleanSchedule_Click();
    void mnuCleanRec_Click();
    void mnuManual_Click();
    void mnuLearnWeb_Click();
    void mnuWeb_Click();
    void mnuAbout_Click();
    // True when the package was unpacked; the learner has been told either
    // way. An empty name installs nothing and says nothing. pKeptPlan, when
    // given, is the study plan that the course keeps across the install.
    bool InstallCourseProc(const QString& pCourseFile, const KeptPlan* pKeptPlan = nullptr);
    // False when the descriptor could not be written.
    bool WriteScheduleSetFile();

    // Controls.
    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuDownloadCourse = nullptr;
    QAction* mnuFileInstall = nullptr;
    QAction* mnuF1 = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuSync = nullptr;
    QAction* mnuF2 = nullptr;
    QAction* mnuImportSync = nullptr;
    QAction* mnuF4 = nullptr;
    QAction* mnuRebuildEngine = nullptr;
    QAction* mnuH2 = nullptr;
    QAction* mnuPrintSetup = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintPreview = nullptr;
    QAction* mnuF3 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuSetup = nullptr;
    QMenu* mnuButtonImage = nullptr;
    std::array<QAction*, 3> mnuButtonImages{};
    QMenu* mnuFontSize = nullptr;
    std::array<QAction*, 2> mnuFontSizes{};
    QAction* mnuS1 = nullptr;
    QAction* mnuSchedule = nullptr;
    QAction* mnuS2 = nullptr;
    QAction* mnuCleanError = nullptr;
    QAction* mnuCleanSchedule = nullptr;
    QAction* mnuCleanRec = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuManual = nullptr;
    QAction* mnuLearnWeb = nullptr;
    QAction* mnuH1 = nullptr;
    QAction* mnuWeb = nullptr;
    QAction* mnuH3 = nullptr;
    QAction* mnuAbout = nullptr;

    QWidget* picMenu = nullptr;
    // A button takes the size of its face.
    std::array<QLabel*, 11> picMenus{};
    std::array<QString, 11> picMenusTag;
    std::array<QLabel*, 11> imgMenus{};
    std::array<QLabel*, 11> lblMenus{};
    QWidget* picLeft = nullptr;
    TreeView* treMain = nullptr;
    QWidget* picRight = nullptr;
    QWidget* picInfoArea = nullptr;
    std::array<QLabel*, 4> picInfoMenu{};
    std::array<QLabel*, 4> lblInfoMenu{};
    Browser* webMain = nullptr;
    QWidget* picQuizArea = nullptr;
    Browser* webQuiz = nullptr;
    QWidget* picAnsArea = nullptr;
    QLineEdit* txtInput = nullptr;
    Browser* webUpload = nullptr;
    QStatusBar* stbStatus = nullptr;

    QTimer tmrSyncMessageWait;
    QTimer tmrReloadClassWaitProc;
    QTimer tmrMessage;
    QTimer tmrEngineResponse;
    // Which message the next tick of tmrSyncMessageWait shows.
    QString tmrSyncMessageWaitTag;

    // Picture stores.
    std::array<QPixmap, 11> imgMenusPic;
    std::array<QPixmap, 11> imgMenusPicDisable;
    std::array<QPixmap, 3> imgMenusBtn;
    std::array<QPixmap, 3> imgMenusSmallBtn;
    QPixmap imgInfoMenuOn;
    QPixmap imgInfoMenuOff;
    // Menu icons by key, in list order.
    std::vector<std::pair<QString, QIcon>> ilsIcons;
    // Tree icons by image index.
    QMap<int, QIcon> istTree;

    // Form variables.
    double mSplitRatio = 0.3;
    bool mDragging = false;
    int mButtonStyle = 1;
    int mHoverButton = 99;
    int mInfoDisabledTab = 99;
    // From the second press of a double-click to the next press: a
    // double-click is one click, so that press's release clicks nothing.
    bool mDoubleClickPress = false;
    double mQuizHeight = 0;
    TreeNode* mRootNode = nullptr;

    // Course tree
    // The course whose tree is shown, kept so that a course that cannot be
    // loaded leaves it in place; "" while no tree is shown.
    QString mTreeCourseId;
    QString mTreeServerCourseId;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Resize();
    void Form_MouseDown();
    void Form_MouseMove(int X);
    void Form_MouseUp();
    void picLeft_Resize();
    void picRight_Resize();
    int GetMenuIconIndex(const QString& pKey) const;
    void SetPopMenuIcon(const QString& pKey, QAction* pMenu);

    void buildMenus();
    void buildFileMenu();
    void buildSetupMenu();
    void buildHelpMenu();
    void buildToolBar();
    void buildPanes();
    void buildInfoArea();
    void buildAnswerArea();
    void loadPictures();
    void connectTimers();
    void installMouseFilters();
    void alignStatusBar();
    void hideEditionMenus();
    void openLastCourse();
    void setToolWindowsMinimized(bool minimized);

    bool toolBarMouseEvent(QObject* watched, QMouseEvent* event);
    bool infoTabMouseEvent(QObject* watched, QMouseEvent* event);
    void notePress(QMouseEvent* event);
    bool releaseClicks(QObject* watched, QMouseEvent* event) const;
    bool splitterMouseEvent(QMouseEvent* event);
    void paintButtonFace(int pIndex, int pFace);
    void placeButtonContents(int pIndex);
    void placeButtons();
    void shiftButtonContents(int pIndex, int pTwips);

    void showFeedback();

    static QString onlineManualUrl();
    // The text colour of an enabled caption; a disabled one shows greyed.
    static void setCaptionColour(QLabel* caption, const QColor& colour);
};
