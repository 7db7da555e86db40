#pragma once

#include <QString>

// Packages (*.giz) are zip archives. Unpacking refuses entries with absolute
// paths, ".." components and links, and keeps events running between entries.
namespace package {

// Unpacks every entry under destinationFolder (created when missing).
// False with a reason in error when the archive cannot be read or holds an
// entry it refuses; entries before the refused one may already be written.
bool unpack(const QString& packagePath, const QString& destinationFolder, QString* error = nullptr);

// Packs the contents of sourceFolder (paths relative to it) into a zip file.
bool pack(const QString& sourceFolder, const QString& packagePath, QString* error = nullptr);

}  // namespace package
