#pragma once

#include <QString>

// The running program's version as the service compares it: major, minor
// and revision (the first, second and fourth of the four file-version
// numbers) joined by "." (2.3903.0.201 gives 2.3903.201).
QString RunningVersionText();
QString VersionTextOf(const QString& pFileVersion);
