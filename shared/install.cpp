#include "shared/install.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/package.h"
#include "platform/waituntil.h"
#include "shared/coursepaths.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"

namespace {

QString EngineFolder() {
    return gBasePath + "/glossor";
}
QString MakerFolder() {
    return gBasePath + "/Tavimor";
}

// The please-wait box of the installation steps, closed on every way out.
class PleaseWaitBox {
public:
    PleaseWaitBox() { FormInstance<frmMessage>::get()->ProgressMsgBox("3001", 0, "", "0"); }
    ~PleaseWaitBox() { FormInstance<frmMessage>::unload(); }
    PleaseWaitBox(const PleaseWaitBox&) = delete;
    PleaseWaitBox& operator=(const PleaseWaitBox&) = delete;
};

QString FirstLine(const QString& path) {
    const QStringList lines = big5::readLines(path);
    return lines.isEmpty() ? QString() : lines.first();
}

// A database file that stays open would survive the folder's deletion.
void RemoveFolder(const QString& path) {
    db::closeAllConnections();
    QDir(path).removeRecursively();
}

void RestampProductFolder() {
    const QString stampFile = ProductFolder() + "/verify.set";
    if (FileExists(stampFile) && FirstLine(stampFile) == kLayoutStamp) {
        return;
    }
    RemoveFolder(ProductFolder());
    QDir().mkpath(ProductFolder());
    big5::writeLines(stampFile, {kLayoutStamp});
}

// A course or data install that the program was killed in the middle of
// moving into place is finished before anything reads these folders.
void FinishInterruptedInstalls() {
    package::finishInterruptedUnpack(ProductFolder());
    package::finishInterruptedUnpack(EngineFolder());
}

// The installs of the program folder's packages give "" when the package is
// in place, else the message that tells the learner why it is not.
QString UnpackOrWarn(const QString& packageName, const QString& runName,
                     const QString& destination) {
    const QString package = ProgramFolder() + "/giz/" + packageName;
    QString error;
    if (RunPackage(package, runName, destination, &error)) {
        return QString();
    }
    qWarning("Lexivo: %s", qUtf8Printable(error));
    return PackageFailureMessage(package, "29982");
}

QString InstallManualPages() {
    if (FolderExists(ProductFolder() + "/" + gHtmlFolderName)) {
        return QString();
    }
    return UnpackOrWarn("manual.giz", "LexivoData.exe", ProductFolder());
}

QString InstallEngine() {
    QDir().mkpath(EngineFolder());
    if (FileExists(EngineFolder() + "/glossor2.exe") &&
        FileExists(EngineFolder() + "/data/err4list.mdb")) {
        return QString();
    }
    return UnpackOrWarn("glossor.giz", "glossor.exe", EngineFolder());
}

// A start may install twice (the global set-up does when the folders are
// missing); a package that failed once fails alike, and is told once.
void ReportProgramDataFailure(const QString& pMessageId) {
    static bool reported = false;
    if (reported) {
        return;
    }
    reported = true;
    MessageBoxAndWait(pMessageId, 1, "OK", "1");
}

void DeleteTemporaryEnginePages() {
    QDir engine(EngineFolder());
    for (const QString& name : engine.entryList({"tmp*.htm"}, QDir::Files)) {
        engine.remove(name);
    }
}

// Copied beside the target and renamed over it: a copy that fails, or a
// source that is not there, leaves the installed file as it was.
bool CopyOver(const QString& pSource, const QString& pTarget) {
    const QString copy = pTarget + ".new";
    QFile::remove(copy);
    const bool replaced =
        QFile::copy(pSource, copy) && std::rename(QFile::encodeName(copy).constData(),
                                                  QFile::encodeName(pTarget).constData()) == 0;
    if (!replaced) {
        QFile::remove(copy);
    }
    return replaced;
}

// A newer updater of the program folder replaces the installed one.
void CopyUpdaterFiles(const QString& pProgramFolder) {
    const QString installed = MakerFolder() + "/updater.exe";
    const QString shipped = pProgramFolder + "/updater.exe";
    const QString installedVersion = FileExists(installed) ? GetExeVersion(installed) : QString();
    const QString shippedVersion = FileExists(shipped) ? GetExeVersion(shipped) : QString();
    if (FileExists(installed) && !(shippedVersion > installedVersion)) {
        return;
    }
    for (const QString name : {"updater.exe", "updater.exe.manifest", "olelib.tlb"}) {
        CopyOver(pProgramFolder + "/" + name, MakerFolder() + "/" + name);
    }
}

// The updater leaves its own new copy behind as updater0.exe; it is kept
// until it has taken the installed one's place.
void TakeOverUpdaterCopy(const QString& pProgramFolder) {
    const QString copy = pProgramFolder + "/updater0.exe";
    if (FileExists(copy) && CopyOver(copy, MakerFolder() + "/updater.exe")) {
        QFile::remove(copy);
    }
}

void ShowMissingDatabaseEngine() {
    QMessageBox box(QMessageBox::Warning, "安裝提示",
                    "您的作業系統是 Windows 7，且並未安裝有 AccessDatabaseEngine.exe \n\n"
                    "這個套件是用作支援謮寫資料庫，是本軟體所需。\n\n"
                    "請按下 [確定] 後，將帶您前往下載該檔案\n\n"
                    "出現下載的詢問視窗時，請直接按 [執行]，並依照畫面指示進行安裝",
                    QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const waits::RunningWait waiting;
    box.exec();
}

}  // namespace

bool RunPackage(const QString& pPackage, const QString& pRunName, const QString& pDestination,
                QString* pError, const package::AdjustEntries& pAdjustEntries) {
    const QString runCopy = gBasePath + "/" + pRunName;
    if (!FileExists(pPackage)) {
        if (pError) {
            *pError = "package not found: " + pPackage;
        }
        return false;
    }
    QFile::remove(runCopy);
    if (!QFile::copy(pPackage, runCopy)) {
        if (pError) {
            *pError = "cannot copy " + pPackage + " to " + runCopy;
        }
        return false;
    }
    const auto nameOnDisk = [&pDestination](const QString& name) {
        return QFileInfo(PathOnDisk(pDestination, name)).fileName();
    };
    return package::unpack(runCopy, pDestination, pError, nameOnDisk, pAdjustEntries);
}

// The data folder full or not writable: another copy of the package, or of
// the program, would fail alike.
QString PackageFailureMessage(const QString& pPackage, const QString& pDamagedMessageId) {
    return package::isWhole(pPackage) ? "29981" : pDamagedMessageId;
}

// The program goes on without the pages or the engine data that a damaged
// package could not give, once the learner knows why they are missing.
void InstallEngineData() {
    QString failure;
    {
        PleaseWaitBox pleaseWait;
        QDir().mkpath(ProductFolder());
        RestampProductFolder();
        FinishInterruptedInstalls();
        const QString pagesFailure = InstallManualPages();
        const QString engineFailure = InstallEngine();
        failure = pagesFailure.isEmpty() ? engineFailure : pagesFailure;
        DeleteTemporaryEnginePages();
        DelGlossor2Exe();
    }
    if (!failure.isEmpty()) {
        ReportProgramDataFailure(failure);
    }
}

void InstallUpdater() {
    InstallUpdaterFrom(ProgramFolder());
}

void InstallUpdaterFrom(const QString& pProgramFolder) {
    PleaseWaitBox pleaseWait;
    QDir().mkpath(MakerFolder());
    CopyUpdaterFiles(pProgramFolder);
    big5::writeLines(MakerFolder() + "/setup.txt", {QDir::toNativeSeparators(pProgramFolder)});
    TakeOverUpdaterCopy(pProgramFolder);
}

QString GetExeVersion(const QString& pFile) {
    QFile file(pFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    static const QRegularExpression stamp(
        R"(FILEVERSION=(\d{1,5})\.(\d{1,5})\.(\d{1,5})\.(\d{1,5}))");
    const QRegularExpressionMatch match = stamp.match(QString::fromLatin1(file.readAll()));
    if (!match.hasMatch()) {
        return QString();
    }
    QStringList parts;
    for (int i = 1; i <= 4; ++i) {
        const int part = match.captured(i).toInt();
        if (part > 0xFFFF) {
            return QString();
        }
        parts << QString::number(part);
    }
    return parts.join('.');
}

void CheckAccessEngine() {
    if (GetWindowsVersion() != "2.6.1") {
        return;
    }
    db::Recordset errorTypes;
    if (errorTypes.open("select * from errtype", gEngineConnStr)) {
        return;
    }
    ShowMissingDatabaseEngine();
    OpenUrlInBrowser(gServerURL + "p_download_ace.asp");
    EndProgram();
}

// An unreachable service names no version: it is neither stored nor compared.
bool CheckCourseVersionWith(const QString& pCourseId, const QString& pServerVersion) {
    if (pServerVersion.isEmpty() || pServerVersion.startsWith("ERR")) {
        return true;
    }
    const QString versionFile = CourseVersionFile(pCourseId);
    // An empty file, or one that cannot be read, holds no version, as a
    // missing one does.
    const QString stored = Trim(FirstLine(versionFile));
    if (stored.isEmpty()) {
        big5::writeLines(versionFile, {pServerVersion});
        return true;
    }
    if (stored == pServerVersion) {
        return true;
    }
    MessageBoxAndWait("2974", 1, "OK", "1");
    return false;
}

// Before the start-up has set the base path there is no engine to delete.
void DelGlossor2Exe() {
    if (!gBasePath.isEmpty()) {
        QFile::remove(gBasePath + "/glossor/glossor2.exe");
    }
}

void DeleteFolderAll(const QString& pPath) {
    QString folder = pPath;
    if (folder.endsWith('/')) {
        folder.chop(1);
    }
    if (FolderExists(folder)) {
        RemoveFolder(folder);
    }
}

// Waits that are still pumping events give up, so the event loop can end.
// Asked from inside a wait (an exit confirmed during a course opening or a
// page build), the procedures that wait further up would carry on when it
// returns, bring a window back, send requests and write files: once its
// clean-up is done the program ends there, or once the work that an exit
// lets finish (a check's record) is done.
void EndProgram() {
    DelGlossor2Exe();
    forms::unloadAll();
    waits::endAll();
    if (waits::running()) {
        waits::endProcess();
        return;
    }
    QCoreApplication::exit(0);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
