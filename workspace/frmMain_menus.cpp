#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <utility>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/mainwindowlink.h"
#include "shared/request.h"
#include "shared/serverconfig.h"
#include "shared/servicescripts.h"
#include "startup/frmClassSelect.h"
#include "startup/frmLXVImportLogin.h"
#include "startup/frmSchedule.h"
#include "startup/frmSplash.h"
#include "workspace/coursedescriptor.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/studyplan.h"

using namespace mainmeasures;

namespace {

const QString kLargeFont = QStringLiteral("16px");
const QString kSmallFont = QStringLiteral("13px");

// The learner's OK to a clean-up question; the service is told after the
// local records are gone, and a service that cannot be reached keeps the
// local clean-up all the same.
bool confirmCleanUp(const QString& pMessageId) {
    return MessageBoxAndWait(pMessageId, 2, "OK_CANCEL", "2") == "OK";
}

// All the tables or none: one that could not be emptied (a damaged learner
// database) must not leave the others emptied here but kept on the service.
bool cleanLearnerTables(const QStringList& pStatements) {
    db::Transaction transaction(gUserConnStr);
    if (!transaction.isActive()) {
        return false;
    }
    for (const QString& statement : pStatements) {
        if (!db::execute(statement, gUserConnStr)) {
            return false;
        }
    }
    return transaction.commit();
}

// Records that are still here are not cleared on the service either, so the
// two copies keep agreeing.
void showRecordsNotCleaned() {
    MessageBoxAndWait(RecordsNotStoredMessage(db::lastFailureWasDiskRefusal()), 1, "OK", "1");
}

// The plan restarted today and every unit back to not done, or neither,
// and the learner told why. The descriptor is written first: one that
// cannot be written leaves the progress, the file and the service as they
// were; progress that cannot be reset gets the former plan back.
bool restartPlanAndProgress(frmMain& window) {
    const studyplan::Plan former = studyplan::current();
    const QString descriptor = CourseDescriptor::pathOf(gCourseId);
    bool hadDescriptor = false;
    const QString formerDescriptor = big5::readFile(descriptor, &hadDescriptor);
    gScheduleStart = QDate::currentDate();
    gScheduleEnd = gScheduleStart.addDays(gScheduleDays);
    if (!window.WriteScheduleSetFile()) {
        studyplan::restore(former);
        MessageBoxAndWait("29973", 1, "OK", "0");
        return false;
    }
    if (!db::execute("update bswunit set VISITED = '1'", gCourseConnStr)) {
        studyplan::restore(former);
        if (hadDescriptor) {
            big5::writeFile(descriptor, formerDescriptor);
        }
        showRecordsNotCleaned();
        return false;
    }
    return true;
}

void showNetworkDown() {
    MessageBoxAndWait("1", 1, "OK", "1");
}

// The package file that the learner picks; "" when the dialog is cancelled.
QString askForCoursePackage(QWidget* parent) {
    QFileDialog dlgFileOpen(parent, "請選擇課程安裝檔", QString(), "課程安裝檔(*.giz)");
    dlgFileOpen.setFileMode(QFileDialog::ExistingFile);
    const waits::RunningWait waiting;
    if (dlgFileOpen.exec() != QDialog::Accepted || dlgFileOpen.selectedFiles().isEmpty()) {
        return QString();
    }
    return dlgFileOpen.selectedFiles().first();
}

// The engine's package unpacked afresh beside its folder, which it replaces
// only once every entry is there: a package that does not unpack leaves the
// engine as it was. What an earlier end left half unpacked there goes first.
bool unpackEngineInto(const QString& pPackage, const QString& pFolder, QString* pError) {
    const QString staging = pFolder + ".new";
    DeleteFolderAll(staging);
    bool unpacked = RunPackage(pPackage, "glossor.exe", staging, pError);
    if (unpacked) {
        DeleteFolderAll(pFolder);
        unpacked = QDir().rename(staging, pFolder);
        if (!unpacked) {
            *pError = "cannot move " + staging + " to " + pFolder;
        }
    }
    DeleteFolderAll(staging);
    return unpacked;
}

// The engine rebuilt behind the please-wait box.
bool rebuildEngineFolder(const QString& pPackage) {
    FormInstance<frmMessage>::get()->ProgressMsgBox("5001", 0, QString(), "0");
    QString error;
    const bool rebuilt = unpackEngineInto(pPackage, gBasePath + "/glossor", &error);
    FormInstance<frmMessage>::unload();
    if (!rebuilt) {
        qWarning("Engine not rebuilt: %s", qUtf8Printable(error));
    }
    return rebuilt;
}

}  // namespace

void frmMain::connectMenus() {
    const std::pair<QAction*, void (frmMain::*)()> commands[] = {
        {mnuFileOpen, &frmMain::mnuFileOpen_Click},
        {mnuDownloadCourse, &frmMain::mnuDownloadCourse_Click},
        {mnuFileInstall, &frmMain::mnuFileInstall_Click},
        {mnuFileSave, &frmMain::mnuFileSave_Click},
        {mnuSync, &frmMain::mnuSync_Click},
        {mnuImportSync, &frmMain::mnuImportSync_Click},
        {mnuRebuildEngine, &frmMain::mnuRebuildEngine_Click},
        {mnuPrintSetup, &frmMain::mnuPrintSetup_Click},
        {mnuPrint, &frmMain::mnuPrint_Click},
        {mnuPrintPreview, &frmMain::mnuPrintPreview_Click},
        {mnuExit, &frmMain::mnuExit_Click},
        {mnuSchedule, &frmMain::mnuSchedule_Click},
        {mnuCleanError, &frmMain::mnuCleanError_Click},
        {mnuCleanSchedule, &frmMain::mnuCleanSchedule_Click},
        {mnuCleanRec, &frmMain::mnuCleanRec_Click},
        {mnuManual, &frmMain::mnuManual_Click},
        {mnuLearnWeb, &frmMain::mnuLearnWeb_Click},
        {mnuWeb, &frmMain::mnuWeb_Click},
        {mnuAbout, &frmMain::mnuAbout_Click},
    };
    for (const auto& [item, command] : commands) {
        connect(item, &QAction::triggered, this, command);
    }
    for (int i = 0; i < int(mnuButtonImages.size()); ++i) {
        connect(mnuButtonImages[i], &QAction::triggered, this,
                [this, i] { mnuButtonImages_Click(i); });
    }
    for (int i = 0; i < int(mnuFontSizes.size()); ++i) {
        connect(mnuFontSizes[i], &QAction::triggered, this, [this, i] { mnuFontSizes_Click(i); });
    }
}

void frmMain::mnuFileOpen_Click() {
    CloseOtherUpForm();
    FormInstance<frmClassSelect>::get()->showModal();
}

void frmMain::mnuDownloadCourse_Click() {
    OpenUrlInBrowser(gServerURL + "lxv_download/");
}

void frmMain::mnuFileInstall_Click() {
    const MainWindowHold whileInstalling;
    InstallCourseProc(askForCoursePackage(this));
    mnuFileOpen_Click();
}

void frmMain::mnuFileSave_Click() {
    webMain->saveAs();
}

void frmMain::mnuSync_Click() {
    if (MessageBoxAndWait("51", 2, "OK_CANCEL", "4") != "OK") {
        return;
    }
    if (!IsServerOnline()) {
        showNetworkDown();
        return;
    }
    gOldPno.clear();
    SyncProcess(true);
}

void frmMain::mnuImportSync_Click() {
    if (MessageBoxAndWait("53", 2, "OK_CANCEL", "5") != "OK") {
        return;
    }
    if (!IsServerOnline()) {
        showNetworkDown();
        return;
    }
    SetMainWindowEnabled(false);
    gLoginDone = false;
    gLoginOK = false;
    FormInstance<frmLXVImportLogin>::get()->show();
    waitUntil([] { return gLoginDone || !FormInstance<frmLXVImportLogin>::isLoaded(); });
    SetMainWindowEnabled(true);
    if (gLoginOK) {
        SyncProcess(true);
    }
}

void frmMain::mnuRebuildEngine_Click() {
    if (MessageBoxAndWait("5001", 2, "OK_CANCEL", "2") != "OK") {
        return;
    }
    // A damaged package needs the same cure as a missing one; without the
    // package nothing is deleted.
    const QString package = ProgramFolder() + "/giz/glossor.giz";
    if (!FileExists(package) || !rebuildEngineFolder(package)) {
        MessageBoxAndWait(PackageFailureMessage(package, "5003"), 1, "OK", "0");
        return;
    }
    tmrSyncMessageWaitTag = "REBUILD_ENGINE";
    tmrSyncMessageWait.start();
}

void frmMain::mnuPrintSetup_Click() {
    webMain->pageSetup();
}

void frmMain::mnuPrint_Click() {
    webMain->printPage();
}

void frmMain::mnuPrintPreview_Click() {
    webMain->printPreview();
}

void frmMain::mnuExit_Click() {
    QueryForCloseProc();
}

void frmMain::mnuButtonImages_Click(int Index) {
    for (int i = 0; i < int(mnuButtonImages.size()); ++i) {
        mnuButtonImages[i]->setChecked(i == Index);
    }
    mButtonStyle = Index + 1;
    SetMenuButtons(kWholeBar, kFaceNormal);
    ArrangeMainLayout();
    ReSizeRight(mQuizHeight, 0);
}

void frmMain::mnuFontSizes_Click(int Index) {
    for (int i = 0; i < int(mnuFontSizes.size()); ++i) {
        mnuFontSizes[i]->setChecked(i == Index);
    }
    gFontSize = Index == 0 ? kLargeFont : kSmallFont;
    WriteQuizContentHtml(QString(gNodeKey).remove("QUIZ_"));
}

// A second call while the dialog is open (the course opening and the
// window's load both ask for a plan) brings the open dialog forward.
void frmMain::mnuSchedule_Click() {
    CloseOtherUpForm();
    if (FormInstance<frmSchedule>::isLoaded() && FormInstance<frmSchedule>::get()->isClosing()) {
        FormInstance<frmSchedule>::unload();
    }
    FormInstance<frmSchedule>::get()->showDialog();
}

void frmMain::mnuManual_Click() {
    picInfoMenu_Click(kTabManual);
}

void frmMain::mnuLearnWeb_Click() {
    OpenUrlInBrowser(loadServerConfig().learnWeb);
}

void frmMain::mnuWeb_Click() {
    OpenUrlInBrowser(loadServerConfig().publisherHome);
}

void frmMain::mnuAbout_Click() {
    FormInstance<frmSplash>::get()->show();
}

void frmMain::mnuCleanError_Click() {
    if (!confirmCleanUp("2991")) {
        return;
    }
    if (!cleanLearnerTables(
            {"delete from mistakes where 1=1", "delete from errSentence where 1=1"})) {
        showRecordsNotCleaned();
        return;
    }
    ProcResetServer("error", gPno, gCourseId);
    MessageBoxAndWait("2994", 0, "OK", "0");
}

// The plan starts again today. The service gets the restarted plan too:
// at the next opening its plan wins over the local one, and would bring
// the old start back.
void frmMain::mnuCleanSchedule_Click() {
    if (!confirmCleanUp("2992") || !restartPlanAndProgress(*this)) {
        return;
    }
    if (studyplan::hasPlan() && gScheduleDays > 0) {
        studyplan::sendToService();
    }
    ProcResetServer("progress", gPno, gCourseId);
    MessageBoxAndWait("2995", 0, "OK", "0");
    GetListTree();
    gStudyPageDirty = true;
}

void frmMain::mnuCleanRec_Click() {
    if (!confirmCleanUp("2993")) {
        return;
    }
    if (!cleanLearnerTables({"delete from userSntn where 1=1"})) {
        showRecordsNotCleaned();
        return;
    }
    ProcResetServer("sentence", gPno, gCourseId);
    MessageBoxAndWait("2996", 0, "OK", "0");
}

bool frmMain::WriteScheduleSetFile() {
    return studyplan::writeDescriptor(true);
}
