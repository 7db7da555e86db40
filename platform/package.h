#pragma once

#include <functional>
#include <QString>

// Packages (*.giz) are zip archives. Unpacking refuses entries with absolute
// paths, ".." components and links, and keeps events running between entries.
namespace package {

// Unpacks every entry under destinationFolder (created when missing).
// False with a reason in error when the archive cannot be read or holds an
// entry it refuses; nothing is then written.
//
// The entries are written in a hidden folder inside the destination and
// moved into place only once all of them are there, so a program killed
// while unpacking leaves the former files as they were. Killed while moving
// them, it leaves the rest waiting for finishInterruptedUnpack().
//
// topLevelName, when given, names each entry at the top of the package (a
// folder or a file) as the destination is to hold it: e.g. as an entry that
// the destination already holds in another case, for packages made where
// names ignore case.
//
// adjustEntries, when given, runs on the folder that holds every entry once
// all are written, before they are declared whole: what it changes there
// moves into place with them, also when finishInterruptedUnpack() ends the
// move. False from it fails the unpack with nothing moved.
using TopLevelName = std::function<QString(const QString& name)>;
using AdjustEntries = std::function<bool(const QString& entriesFolder)>;
bool unpack(const QString& packagePath, const QString& destinationFolder, QString* error = nullptr,
            const TopLevelName& topLevelName = {}, const AdjustEntries& adjustEntries = {});

// Whether every entry of the package reads whole and is one that unpack()
// takes: an unpack of such a package can fail only at writing.
bool isWhole(const QString& packagePath);

// Moves into place what an unpack into destinationFolder left waiting, and
// removes what one left half-written. False when a waiting file could not
// be moved.
bool finishInterruptedUnpack(const QString& destinationFolder);

// Packs the contents of sourceFolder (paths relative to it) into a zip file.
bool pack(const QString& sourceFolder, const QString& packagePath, QString* error = nullptr);

}  // namespace package
