#include "shared/globals.h"

#include <sys/utsname.h>
#include <QCoreApplication>
#include <QDir>
#include <QProcessEnvironment>

#include "shared/coursepaths.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/serverconfig.h"
#include "shared/settingsfiles.h"

QString gEdition;
QString gSoftCode;
QString gServerURL;
QString gFeedbackURL;
QString gUpdatePath;
QString gWebURL;
QString gDefaultServer;
QString gWebEngineLookupURL;
QString gWebEngineURL;
QString gAppCode;
QString gVersionType;
QString gBasePath;
QString gDataFolderName;
QString gEnginePath;
QString gSetupSetFile;
QString gRegistrySetFile;
QString gHtmlFolderName;
QString gCourseConnStr;
QString gUserConnStr;
QString gEngineConnStr;
QString gPno;
QString gOldPno;
QString gServerPassword;
bool gLoginDone = false;
bool gLoginOK = false;
QString gCourseId;
QString gSelCourseId;
QString gSelCourseName;
QString gServerCourseId;
QString gInstalledCourses;
QString gAllowedCourses;
QString gRootUnitId;
QString gCourseName;
QString gScheduleType;
int gScheduleDays = 0;
QDate gScheduleStart;
QDate gScheduleEnd;
QDate gScheduleEndPreview;
QString gMsgResult;
QString gMsgParam;
bool gStartupDone = false;
bool gInFormLoad = false;
bool gPublisherNewsDone = false;
bool gStudyPageDirty = false;
QString gNodeKey;
QString gUnitKey;
bool gQuizSelected = false;
bool gSampleOpen = false;
bool gSentenceOpen = false;
bool gSearchOpen = false;
bool gErrSentenceOpen = false;
bool gReloadDone = false;
int gNodeIndex = 0;
QString gNodeTag;
int gUnitNodeIndex = 0;
QString gFontSize = "16px";
int gHistory[kHistorySize + 1] = {};
int gHistoryCount = 0;
int gHistoryPos = 0;

namespace {

void SetEditionServers(const ServerConfig& servers) {
    if (gEdition == "LXV") {
        gServerURL = servers.service;
        gUpdatePath = servers.update;
        gFeedbackURL = servers.service;
        gWebURL = servers.web;
        gWebEngineLookupURL = servers.service;
    } else if (gEdition == "LXQ") {
        gServerURL.clear();
        gUpdatePath.clear();
        gFeedbackURL = servers.service;
    } else if (gEdition == "LXM") {
        gServerURL = servers.service;
        gUpdatePath.clear();
        gFeedbackURL = servers.account;
        gWebURL = servers.web;
        gDefaultServer = servers.account;
        gWebEngineLookupURL = servers.service;
    }
    gAppCode.clear();
}

}  // namespace

// Without TMP every path would hang off the file-system root.
QString BasePathFromEnvironment() {
    QString path = QProcessEnvironment::systemEnvironment().value("TMP");
    if (path.isEmpty()) {
        path = QDir::tempPath();
    }
    while (path.size() > 1 && path.endsWith('/')) {
        path.chop(1);
    }
    return path;
}

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}

QString ProductFolder() {
    return gBasePath + "/" + gDataFolderName;
}

void InitialGlobalSetting() {
    gSoftCode = "lxv";
    gDataFolderName = "Lexivo2";
    SetEditionServers(loadServerConfig());
    gBasePath = BasePathFromEnvironment();
    gHtmlFolderName = "manual";
    gCourseId.clear();
    gVersionType.clear();
    gEnginePath = gBasePath + "/glossor/";
    gSetupSetFile = gBasePath + "/" + gDataFolderName + "/setup.set";
    gRegistrySetFile = gEnginePath + "registry.set";
    if (!FolderExists(gEnginePath) || !FolderExists(ProductFolder())) {
        InstallEngineData();
    }
    RegistrySet_IO("RESET");
    SetFile_IO(gRegistrySetFile, "W", "col_suggestion", "0");
    SetFile_IO(gRegistrySetFile, "W", "collocationListHtm", "");
    SetFile_IO(gRegistrySetFile, "W", "errcode", "0");
    SetFile_IO(gRegistrySetFile, "W", "findMistake", "0");
    SetFile_IO(gRegistrySetFile, "W", "qcode", "0");
    SetFile_IO(gRegistrySetFile, "W", "sentence", "0");
    SetFile_IO(gRegistrySetFile, "W", "htm4chk", "");
    gPno.clear();
    gVersionType = "beta";
}

void BuildConnStrings() {
    const bool odbcDriver = GetWindowsVersion() == "2.6.1";
    const QString prefix =
        odbcDriver ? QStringLiteral("Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=")
                   : QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");
    gEngineConnStr = prefix + gBasePath + "/glossor/data/err4list.mdb;";
    const QString courseFolder = CourseFolder(gCourseId);
    gCourseConnStr = prefix + courseFolder + "/LexivoData.mdb;";
    gUserConnStr = prefix + courseFolder + "/userData.mdb;";
}

// Platform 3 stands for this kernel family; the release gives major.minor.
QString GetWindowsVersion() {
    const QString overridden =
        QProcessEnvironment::systemEnvironment().value("LEXIVO_WINDOWS_VERSION");
    if (!overridden.isEmpty()) {
        return overridden;
    }
    utsname names{};
    if (uname(&names) != 0) {
        return "3.0.0";
    }
    const QStringList release = QString::fromLatin1(names.release).split('.');
    const auto number = [&](int index) {
        return index < release.size() ? QString::number(release[index].toInt()) : "0";
    };
    return "3." + number(0) + "." + number(1);
}
