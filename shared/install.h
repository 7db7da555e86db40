#pragma once

#include <QString>

#include "platform/package.h"

// Data installation under gBasePath, the updater, and program exit.

// Copies pPackage to gBasePath/pRunName and unpacks it into pDestination,
// over what pDestination holds under the package's names in any case (a
// course installed in lower case is reinstalled where it stands).
// pAdjustEntries changes the unpacked files before they take their places.
// False (with a reason) when the package is missing or cannot be unpacked.
bool RunPackage(const QString& pPackage, const QString& pRunName, const QString& pDestination,
                QString* pError = nullptr, const package::AdjustEntries& pAdjustEntries = {});
// The message that tells why pPackage could not be run: "29981" (the data
// folder cannot be written) for a package that reads whole, which failed at
// its writing; pDamagedMessageId for one that is missing or damaged.
QString PackageFailureMessage(const QString& pPackage, const QString& pDamagedMessageId);

void InstallEngineData();
void InstallUpdater();
// The updater installation from the given program folder.
void InstallUpdaterFrom(const QString& pProgramFolder);
QString GetExeVersion(const QString& pFile);
void CheckAccessEngine();
// Whether the installed course may be opened: asks the service for the
// course's data version and compares it with the installed one.
bool CheckCourseVersion(const QString& pCourseId);
// Whether the installed course may be opened, given the data version that
// the service reports for it.
bool CheckCourseVersionWith(const QString& pCourseId, const QString& pServerVersion);
void DelGlossor2Exe();
void DeleteFolderAll(const QString& pPath);
void EndProgram();

// The data-layout stamp of verify.set.
inline constexpr const char* kLayoutStamp = "20110222-1235";
