#pragma once

#include <QDate>
#include <QString>

// State that the windows share for the life of the process.

extern QString gEdition;
extern QString gSoftCode;
extern QString gServerURL;
extern QString gFeedbackURL;
extern QString gUpdatePath;
extern QString gWebURL;
extern QString gDefaultServer;
extern QString gWebEngineLookupURL;
extern QString gWebEngineURL;
extern QString gAppCode;
extern QString gVersionType;
extern QString gBasePath;
extern QString gDataFolderName;
extern QString gEnginePath;
extern QString gSetupSetFile;
extern QString gRegistrySetFile;
extern QString gHtmlFolderName;
extern QString gCourseConnStr;
extern QString gUserConnStr;
extern QString gEngineConnStr;
extern QString gPno;
extern QString gOldPno;
extern QString gServerPassword;
extern bool gLoginDone;
extern bool gLoginOK;
extern QString gCourseId;
extern QString gSelCourseId;
extern QString gSelCourseName;
extern QString gServerCourseId;
extern QString gInstalledCourses;
// The courses the signed-in account may open, ids separated by "|".
extern QString gAllowedCourses;
extern QString gRootUnitId;
extern QString gCourseName;
extern QString gScheduleType;
extern int gScheduleDays;
extern QDate gScheduleStart;
extern QDate gScheduleEnd;
extern QDate gScheduleEndPreview;
extern QString gMsgResult;
extern QString gMsgParam;
extern bool gStartupDone;
extern bool gInFormLoad;
extern bool gPublisherNewsDone;
extern bool gStudyPageDirty;
extern QString gNodeKey;
extern QString gUnitKey;
extern bool gQuizSelected;
extern bool gSampleOpen;
extern bool gSentenceOpen;
extern bool gSearchOpen;
extern bool gErrSentenceOpen;
extern bool gReloadDone;
extern int gNodeIndex;
extern QString gNodeTag;
extern int gUnitNodeIndex;
extern QString gFontSize;
// Tree-node indexes of the questions of the last checks, entries 1..gHistoryCount.
inline constexpr int kHistorySize = 20;
extern int gHistory[kHistorySize + 1];
extern int gHistoryCount;
extern int gHistoryPos;

// Sets the state above for gEdition and prepares the engine hand-off file.
void InitialGlobalSetting();
// Builds the three connection strings from gBasePath and gCourseId.
void BuildConnStrings();
// "platform.major.minor" of the running system.
QString GetWindowsVersion();

// The folder of the running program: packages, pictures, servers.set.
QString ProgramFolder();
// The product folder gBasePath/Lexivo2.
QString ProductFolder();

// Start-up
// The folder that gBasePath becomes: TMP, else the system's temporary folder.
QString BasePathFromEnvironment();
