#include "startup/frmStartup.h"

#include <memory>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

#include "platform/forminstance.h"
#include "platform/instancelock.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/request.h"
#include "shared/serverconfig.h"
#include "shared/servicescripts.h"
#include "shared/skin.h"
#include "startup/frmLogin.h"
#include "startup/frmLXMLogin.h"
#include "startup/frmPublisher.h"
#include "startup/frmSplash.h"
#include "startup/runningversion.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kOffScreenTwips = -10000;

// Held for the life of the process: a second program on the same data
// finds it locked and ends.
std::unique_ptr<InstanceLock>& instanceLock() {
    static std::unique_ptr<InstanceLock> lock;
    return lock;
}

// Probed by writing a file there, as permission bits tell nothing to a
// program run by the administrator.
bool canWriteIn(const QString& folder) {
    QTemporaryFile probe(folder + "/lexivo-XXXXXX");
    return probe.open();
}

QStringList& keptCommandLine() {
    static QStringList arguments;
    return arguments;
}

bool isVersionText(const QString& reply) {
    static const QRegularExpression version(QRegularExpression::anchoredPattern(R"(\d+(\.\d+)*)"));
    return version.match(reply).hasMatch();
}

}  // namespace

frmStartup::frmStartup() : QWidget(nullptr, Qt::Window) {}

void frmStartup::KeepCommandLine(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    keptCommandLine() = arguments;
}

QString frmStartup::EditionFromArguments(const QStringList& pArguments) {
    return Trim(pArguments.mid(1).join(' ').toUpper());
}

bool frmStartup::IsNewerVersion(const QString& pReply, const QString& pRunningVersion) {
    return isVersionText(pReply) && pReply > pRunningVersion;
}

void frmStartup::Form_Load() {
    gEdition = EditionFromArguments(keptCommandLine());
    if (gEdition != "LXV" && gEdition != "LXQ" && gEdition != "LXM") {
        EndProgram();
        return;
    }
    if (!CanWriteDataFolders() || !IsOnlyInstance()) {
        EndProgram();
        return;
    }
    WarnAboutScreenDpi();
    move(twipsToPixels(kOffScreenTwips), twipsToPixels(kOffScreenTwips));
    gInFormLoad = true;
    SetUpGlobalState();
    ShowPublisherNews();
    if (!SignIn()) {
        EndProgram();
        return;
    }
    // Ends the program itself where the database engine is missing.
    CheckAccessEngine();
    if (waits::ending()) {
        return;
    }
    ShowSplash();
    if (!CheckServerVersion()) {
        return;
    }
    gInFormLoad = false;
    FormInstance<frmMain>::get();
}

// The product and engine folders are checked where they already stand; the
// data installation makes them inside a base folder that can be written.
bool frmStartup::CanWriteDataFolders() {
    const QString base = BasePathFromEnvironment();
    bool writable = QDir().mkpath(base) && canWriteIn(base);
    for (const QString& folder : {base + "/Lexivo2", base + "/glossor"}) {
        writable = writable && (!QFileInfo::exists(folder) || canWriteIn(folder));
    }
    if (!writable) {
        MessageBoxAndWait("29981", 1, "OK", "1");
    }
    return writable;
}

// Only a copy that runs holds the lock: a lock file left by an ended copy,
// empty, unreadable or from another computer is taken over. One that cannot
// be written (a full data folder) ends the start with the learner told.
bool frmStartup::IsOnlyInstance() {
    const QString folder = BasePathFromEnvironment();
    QDir().mkpath(folder);
    instanceLock() = std::make_unique<InstanceLock>(folder + "/lexivo.lock");
    switch (instanceLock()->outcome()) {
        case InstanceLock::Outcome::Held:
            return true;
        case InstanceLock::Outcome::HeldByAnother:
            return false;
        case InstanceLock::Outcome::CannotBeWritten:
            MessageBoxAndWait("29981", 1, "OK", "1");
            return false;
    }
    return false;
}

void frmStartup::WarnAboutScreenDpi() {
    if (IsNormalDPI()) {
        return;
    }
    QMessageBox warning(QMessageBox::Warning, "警告",
                        "您的視窗目前設定為較大顯示字型，請回復預設字型(96dpi)\r\n"
                        "否則可能造成顯示問題，而無法正常使用本軟體。",
                        QMessageBox::Ok);
    warning.setWindowFlag(Qt::WindowStaysOnTopHint);
    const waits::RunningWait waiting;
    warning.exec();
}

// The LXV edition signs in nowhere: its account comes with the installation.
void frmStartup::SetUpGlobalState() {
    InitialGlobalSetting();
    BuildConnStrings();
    InstallEngineData();
    InstallUpdater();
    if (gEdition == "LXV") {
        const ServerConfig servers = loadServerConfig();
        gPno = servers.pno;
        gServerPassword = servers.password;
    }
}

void frmStartup::ShowPublisherNews() {
    if (gPublisherNewsDone) {
        return;
    }
    frmPublisher::RegisterAsNewsWindow();
    GetPublisherNews();
    gPublisherNewsDone = true;
}

// LXQ looks the checking engine up on the service it signed in to.
bool frmStartup::SignIn() {
    if (gEdition == "LXV") {
        return true;
    }
    gLoginDone = false;
    gLoginOK = false;
    if (gEdition == "LXQ") {
        FormInstance<frmLogin>::get()->show();
    } else {
        FormInstance<frmLXMLogin>::get()->show();
    }
    waitUntil([] { return gLoginDone; });
    if (gLoginOK && gEdition == "LXQ") {
        gWebEngineLookupURL = gServerURL;
    }
    return gLoginOK;
}

void frmStartup::ShowSplash() {
    FormInstance<frmSplash>::get()->tmrHide.start();
}

// A service that cannot be reached is told once: the big version is asked
// only of one that gave the other.
bool frmStartup::CheckServerVersion() {
    const QString lxv = GetServerVersion("lxv");
    const QString lxvbig = lxv == kConnectFailed ? lxv : GetServerVersion("lxvbig");
    if (lxvbig == kConnectFailed) {
        MessageBoxAndWait("1", 1, "OK", "1");
        return true;
    }
    const QString running = RunningVersionText();
    if (IsNewerVersion(lxvbig, running)) {
        return OfferUpdate("47", "lxv_reinstaller ");
    }
    if (IsNewerVersion(lxv, running)) {
        const bool reinstall = GetVersionDigit(lxv) == "9";
        return reinstall ? OfferUpdate("47", "lxv_reinstaller ") : OfferUpdate("4", "lxv_updater ");
    }
    return true;
}

bool frmStartup::OfferUpdate(const QString& pMessageId, const QString& pUpdaterWord) {
    if (MessageBoxAndWait(pMessageId, 2, "YES_NO", "3") != "YES") {
        return true;
    }
    if (StartUpdater(pUpdaterWord)) {
        EndProgram();
        return false;
    }
    MessageBoxAndWait("5", 1, "OK", "1");
    return true;
}

// An updater that is there but cannot be started is as good as missing: the
// program goes on rather than end without an update.
bool frmStartup::StartUpdater(const QString& pUpdaterWord) {
    const QString updater = gBasePath + "/Tavimor/updater.exe";
    if (!FileExists(updater)) {
        return false;
    }
    return QProcess::startDetached(updater, QProcess::splitCommand(pUpdaterWord + gUpdatePath),
                                   QDir::rootPath());
}
