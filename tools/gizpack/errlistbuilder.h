#pragma once

#include <QString>

// Builds err4list.mdb from the readable error list: tab-separated lines
// "type<TAB>category id<TAB>category name" and
// "code<TAB>error code<TAB>outline"; blank lines and lines starting with "#"
// are skipped. Refuses a list the statistics page could not use: a code
// that does not begin with a category id or is longer than six characters,
// a category id that begins another one (its "like" selection would take the
// other's codes), duplicates, or texts outside Big5.
bool buildErrorList(const QString& sourcePath, const QString& schemaPath,
                    const QString& databasePath, QString* error);
