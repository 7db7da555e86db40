#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

// Zip archives written entry by entry exactly as given, as a hostile or
// careless packer would write them ("../" paths, absolute paths, links).
struct HostileZipEntry {
    HostileZipEntry(const char* entryPath, int entryType = AE_IFREG, const char* target = "")
        : path(QString::fromUtf8(entryPath)),
          type(entryType),
          linkTarget(QString::fromUtf8(target)) {}
    HostileZipEntry(const QString& entryPath) : path(entryPath) {}

    QString path;
    int type = AE_IFREG;
    QString linkTarget;
};

// Each file entry holds the bytes "planted". False when the file could not
// be created.
inline bool writeHostileZip(const QString& zipPath, const std::vector<HostileZipEntry>& entries) {
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    if (archive_write_open_filename(writer, QFile::encodeName(zipPath).constData()) != ARCHIVE_OK) {
        archive_write_free(writer);
        return false;
    }
    for (const HostileZipEntry& item : entries) {
        const QByteArray data = item.type == AE_IFREG ? "planted" : "";
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, item.path.toUtf8().constData());
        archive_entry_set_filetype(entry, item.type);
        archive_entry_set_perm(entry, 0644);
        if (!item.linkTarget.isEmpty()) {
            archive_entry_set_symlink(entry, item.linkTarget.toUtf8().constData());
        }
        archive_entry_set_size(entry, data.size());
        archive_write_header(writer, entry);
        archive_write_data(writer, data.constData(), size_t(data.size()));
        archive_entry_free(entry);
    }
    const bool closed = archive_write_close(writer) == ARCHIVE_OK;
    archive_write_free(writer);
    return closed;
}
