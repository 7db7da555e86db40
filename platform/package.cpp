#include "platform/package.h"

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "platform/waituntil.h"

namespace package {
namespace {

struct ArchiveReadDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct ArchiveWriteDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryDeleter {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveReadDeleter>;
using ArchiveWriter = std::unique_ptr<archive, ArchiveWriteDeleter>;
using ArchiveEntry = std::unique_ptr<archive_entry, EntryDeleter>;

constexpr size_t kBlockSize = 64 * 1024;

// Inside the destination: the entries being written, then, once all are
// there, the same folder renamed to say they are waiting to be moved.
const QString kStagingName = QStringLiteral(".unpacking");
const QString kWaitingName = QStringLiteral(".unpacked");

bool fail(QString* error, const QString& reason) {
    if (error) {
        *error = reason;
    }
    return false;
}

QString archiveError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown archive error");
}

ArchiveReader openZip(const QString& packagePath, QString* error) {
    ArchiveReader reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(packagePath).constData(),
                                   kBlockSize) != ARCHIVE_OK) {
        fail(error, QStringLiteral("cannot open package %1: %2")
                        .arg(packagePath, archiveError(reader.get())));
        return nullptr;
    }
    return reader;
}

QString entryPath(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) {
        return QString::fromUtf8(utf8);
    }
    const char* raw = archive_entry_pathname(entry);
    return raw ? QString::fromLocal8Bit(raw) : QString();
}

// Windows-made archives may separate with "\"; a drive letter makes a path
// absolute there, so it is refused like a leading "/".
QString refusalOf(archive_entry* entry, const QString& path) {
    if (path.isEmpty()) {
        return QStringLiteral("an entry without a name");
    }
    if (archive_entry_hardlink(entry) || archive_entry_symlink(entry)) {
        return QStringLiteral("a link: %1").arg(path);
    }
    const auto type = archive_entry_filetype(entry);
    if (type != AE_IFREG && type != AE_IFDIR) {
        return QStringLiteral("neither a file nor a folder: %1").arg(path);
    }
    const QString normalized = QString(path).replace('\\', '/');
    if (normalized.startsWith('/') || (normalized.size() > 1 && normalized[1] == ':')) {
        return QStringLiteral("an absolute path: %1").arg(path);
    }
    if (normalized.split('/').contains(QStringLiteral(".."))) {
        return QStringLiteral("a path leaving the destination: %1").arg(path);
    }
    // Moved out of the waiting folder into itself, such an entry would be
    // removed with it once the others were in place. Refused in any case: a
    // top-level name may be given the case of the destination's entry.
    const QString topName = QDir::cleanPath(normalized).section('/', 0, 0);
    if (topName.compare(kStagingName, Qt::CaseInsensitive) == 0 ||
        topName.compare(kWaitingName, Qt::CaseInsensitive) == 0) {
        return QStringLiteral("a name kept for unpacking: %1").arg(path);
    }
    return QString();
}

// The reading checks the entry's data against its checksum.
bool dataReadsWhole(archive* reader) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    int status = ARCHIVE_OK;
    do {
        status = archive_read_data_block(reader, &block, &size, &offset);
    } while (status == ARCHIVE_OK);
    return status == ARCHIVE_EOF;
}

// Reads every header (and with readData every entry's data) without
// extracting, so that a package holding a refused entry writes nothing at
// all.
bool checkEntries(const QString& packagePath, QString* error, bool readData = false) {
    ArchiveReader reader = openZip(packagePath, error);
    if (!reader) {
        return false;
    }
    archive_entry* entry = nullptr;
    int status;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK ||
           status == ARCHIVE_WARN) {
        const QString refusal = refusalOf(entry, entryPath(entry));
        if (!refusal.isEmpty()) {
            return fail(error, QStringLiteral("package %1 refused: %2").arg(packagePath, refusal));
        }
        if (readData && !dataReadsWhole(reader.get())) {
            return fail(error, QStringLiteral("cannot read package %1: %2")
                                   .arg(packagePath, archiveError(reader.get())));
        }
    }
    if (status != ARCHIVE_EOF) {
        return fail(error, QStringLiteral("cannot read package %1: %2")
                               .arg(packagePath, archiveError(reader.get())));
    }
    return true;
}

bool isInside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + '/');
}

bool leadsInside(const QString& path, const QString& canonicalDestination) {
    return isInside(QFileInfo(path).canonicalFilePath(), canonicalDestination);
}

QString nearestExisting(QString path) {
    while (!QFileInfo::exists(path) && path != QFileInfo(path).absolutePath()) {
        path = QFileInfo(path).absolutePath();
    }
    return path;
}

// A link already standing in the destination could lead a write elsewhere:
// no folder is created, and no file written, through one.
bool prepareTarget(const QString& target, const QString& canonicalDestination, bool isFolder,
                   QString* error) {
    const QString folder = isFolder ? target : QFileInfo(target).absolutePath();
    if (!leadsInside(nearestExisting(folder), canonicalDestination)) {
        return fail(error, QStringLiteral("folder %1 leads outside the destination").arg(folder));
    }
    if (!QDir().mkpath(folder) || !leadsInside(folder, canonicalDestination)) {
        return fail(error, QStringLiteral("cannot create folder %1").arg(folder));
    }
    if (!isFolder && QFileInfo(target).isSymLink() && !QFile::remove(target)) {
        return fail(error, QStringLiteral("cannot replace link %1").arg(target));
    }
    return true;
}

bool extractData(archive* reader, const QString& target, QString* error) {
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(error, QStringLiteral("cannot write %1: %2").arg(target, file.errorString()));
    }
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    int status;
    while ((status = archive_read_data_block(reader, &block, &size, &offset)) == ARCHIVE_OK) {
        if (!file.seek(offset) ||
            file.write(static_cast<const char*>(block), qint64(size)) != qint64(size)) {
            return fail(error,
                        QStringLiteral("cannot write %1: %2").arg(target, file.errorString()));
        }
    }
    if (status != ARCHIVE_EOF) {
        return fail(
            error,
            QStringLiteral("cannot read entry for %1: %2").arg(target, archiveError(reader)));
    }
    // On the disk before the rename that declares the entries whole.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        return fail(error, QStringLiteral("cannot write %1").arg(target));
    }
    return true;
}

// The entry's path inside the destination.
QString placedPath(const QString& path, const TopLevelName& topLevelName) {
    const QString relative = QDir::cleanPath(QString(path).replace('\\', '/'));
    if (!topLevelName) {
        return relative;
    }
    const QString topName = relative.section('/', 0, 0);
    return topLevelName(topName) + relative.mid(topName.size());
}

bool extractEntries(const QString& packagePath, const QString& destinationFolder,
                    const TopLevelName& topLevelName, QString* error) {
    ArchiveReader reader = openZip(packagePath, error);
    if (!reader) {
        return false;
    }
    const QString destination = QFileInfo(destinationFolder).canonicalFilePath();
    archive_entry* entry = nullptr;
    int status;
    while ((status = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK ||
           status == ARCHIVE_WARN) {
        const QString path = entryPath(entry);
        const QString refusal = refusalOf(entry, path);
        if (!refusal.isEmpty()) {
            return fail(error, QStringLiteral("package %1 refused: %2").arg(packagePath, refusal));
        }
        const bool isFolder = archive_entry_filetype(entry) == AE_IFDIR;
        const QString target = QDir::cleanPath(destination + '/' + placedPath(path, topLevelName));
        if (!prepareTarget(target, destination, isFolder, error)) {
            return false;
        }
        if (!isFolder && !extractData(reader.get(), target, error)) {
            return false;
        }
        // A wait like any other, so that the handler that unpacks is known
        // to carry on when a handler run here ends the program.
        doEvents();
    }
    if (status != ARCHIVE_EOF) {
        return fail(error, QStringLiteral("cannot read package %1: %2")
                               .arg(packagePath, archiveError(reader.get())));
    }
    return true;
}

QStringList sortedRelativePaths(const QDir& source) {
    QStringList paths;
    QDirIterator it(source.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        paths << source.relativeFilePath(it.next());
    }
    paths.sort();
    return paths;
}

bool writeEntryHeader(archive* writer, const QString& relativePath, const QFileInfo& info,
                      QString* error) {
    ArchiveEntry entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), relativePath.toUtf8().constData());
    archive_entry_set_mtime(entry.get(), info.lastModified().toSecsSinceEpoch(), 0);
    if (info.isDir()) {
        archive_entry_set_filetype(entry.get(), AE_IFDIR);
        archive_entry_set_perm(entry.get(), 0755);
    } else {
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), info.size());
    }
    if (archive_write_header(writer, entry.get()) != ARCHIVE_OK) {
        return fail(error,
                    QStringLiteral("cannot add %1: %2").arg(relativePath, archiveError(writer)));
    }
    return true;
}

bool writeEntryData(archive* writer, const QFileInfo& info, QString* error) {
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(error,
                    QStringLiteral("cannot read %1: %2").arg(info.filePath(), file.errorString()));
    }
    while (!file.atEnd()) {
        const QByteArray block = file.read(kBlockSize);
        if (archive_write_data(writer, block.constData(), size_t(block.size())) !=
            la_ssize_t(block.size())) {
            return fail(
                error,
                QStringLiteral("cannot add %1: %2").arg(info.filePath(), archiveError(writer)));
        }
    }
    return true;
}

bool writeZip(const QDir& source, const QString& zipPath, QString* error) {
    const QStringList relativePaths = sortedRelativePaths(source);
    ArchiveWriter writer(archive_write_new());
    archive_write_set_format_zip(writer.get());
    archive_write_zip_set_compression_deflate(writer.get());
    // Names go in as UTF-8 whatever the locale of the packing machine.
    archive_write_set_format_option(writer.get(), "zip", "hdrcharset", "UTF-8");
    if (archive_write_open_filename(writer.get(), QFile::encodeName(zipPath).constData()) !=
        ARCHIVE_OK) {
        return fail(
            error, QStringLiteral("cannot create %1: %2").arg(zipPath, archiveError(writer.get())));
    }
    for (const QString& relativePath : relativePaths) {
        const QFileInfo info(source.filePath(relativePath));
        if (info.isSymLink()) {
            return fail(error, QStringLiteral("cannot pack link %1").arg(info.filePath()));
        }
        if (!writeEntryHeader(writer.get(), relativePath, info, error) ||
            (info.isFile() && !writeEntryData(writer.get(), info, error))) {
            return false;
        }
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK) {
        return fail(
            error, QStringLiteral("cannot finish %1: %2").arg(zipPath, archiveError(writer.get())));
    }
    return true;
}

bool removeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        return QFile::remove(path);
    }
    return !info.exists() || QDir(path).removeRecursively();
}

bool renamePath(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Checked for every entry before any is moved, so that a refused one
// leaves the destination untouched.
bool targetsStayInside(const QDir& staging, const QString& destination, QString* error) {
    for (const QString& relative : sortedRelativePaths(staging)) {
        const QString target = destination + '/' + relative;
        const QString folder = QFileInfo(staging.filePath(relative)).isDir()
                                   ? target
                                   : QFileInfo(target).absolutePath();
        if (!leadsInside(nearestExisting(folder), destination)) {
            return fail(error,
                        QStringLiteral("folder %1 leads outside the destination").arg(folder));
        }
    }
    return true;
}

// SQLite keeps a journal beside a database while changing it. A database
// replaced under a journal that a killed program left would get the old
// file's pages played into it at its next opening.
void removeDatabaseCompanions(const QString& target) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        QFile::remove(target + QLatin1String(suffix));
    }
}

bool moveIntoPlace(const QFileInfo& staged, const QString& target, const QString& destination,
                   QString* error) {
    if (!prepareTarget(target, destination, staged.isDir(), error)) {
        return false;
    }
    if (staged.isDir()) {
        return true;
    }
    removeDatabaseCompanions(target);
    if (!renamePath(staged.filePath(), target)) {
        return fail(error, QStringLiteral("cannot move %1 into place").arg(target));
    }
    return true;
}

// A file already moved is no longer in the waiting folder, so a move that
// was cut short by a kill goes on where it stopped. One that cannot be made
// (a folder stands where the file goes) would fail again at every retry:
// every other entry still moves, so no new file is lost with the folder.
bool moveWaitingEntries(const QString& waiting, const QString& destinationFolder, QString* error) {
    const QString destination = QFileInfo(destinationFolder).canonicalFilePath();
    const QDir source(waiting);
    bool moved = true;
    for (const QString& relative : sortedRelativePaths(source)) {
        moved = moveIntoPlace(QFileInfo(source.filePath(relative)),
                              QDir::cleanPath(destination + '/' + relative), destination, error) &&
                moved;
    }
    removeFolder(waiting);
    return moved;
}

bool stageEntries(const QString& packagePath, const QString& destinationFolder,
                  const QString& staging, const TopLevelName& topLevelName,
                  const AdjustEntries& adjustEntries, QString* error) {
    if (!removeFolder(staging) || !QDir().mkpath(staging)) {
        return fail(error, QStringLiteral("cannot create folder %1").arg(staging));
    }
    if (!extractEntries(packagePath, staging, topLevelName, error)) {
        return false;
    }
    if (adjustEntries && !adjustEntries(staging)) {
        return fail(error, QStringLiteral("cannot adjust the entries of %1").arg(packagePath));
    }
    return targetsStayInside(QDir(staging), QFileInfo(destinationFolder).canonicalFilePath(),
                             error);
}

}  // namespace

bool unpack(const QString& packagePath, const QString& destinationFolder, QString* error,
            const TopLevelName& topLevelName, const AdjustEntries& adjustEntries) {
    if (!QFileInfo(packagePath).isFile()) {
        return fail(error, QStringLiteral("package %1 is missing").arg(packagePath));
    }
    if (!checkEntries(packagePath, error)) {
        return false;
    }
    if (!QDir().mkpath(destinationFolder)) {
        return fail(error, QStringLiteral("cannot create folder %1").arg(destinationFolder));
    }
    finishInterruptedUnpack(destinationFolder);
    const QString staging = destinationFolder + '/' + kStagingName;
    const QString waiting = destinationFolder + '/' + kWaitingName;
    if (!stageEntries(packagePath, destinationFolder, staging, topLevelName, adjustEntries,
                      error)) {
        removeFolder(staging);
        return false;
    }
    if (!renamePath(staging, waiting)) {
        removeFolder(staging);
        return fail(error, QStringLiteral("cannot create folder %1").arg(waiting));
    }
    return moveWaitingEntries(waiting, destinationFolder, error);
}

bool isWhole(const QString& packagePath) {
    return QFileInfo(packagePath).isFile() && checkEntries(packagePath, nullptr, true);
}

bool finishInterruptedUnpack(const QString& destinationFolder) {
    removeFolder(destinationFolder + '/' + kStagingName);
    const QString waiting = destinationFolder + '/' + kWaitingName;
    return !QFileInfo::exists(waiting) || moveWaitingEntries(waiting, destinationFolder, nullptr);
}

bool pack(const QString& sourceFolder, const QString& packagePath, QString* error) {
    const QDir source(sourceFolder);
    if (!source.exists()) {
        return fail(error, QStringLiteral("folder %1 is missing").arg(sourceFolder));
    }
    if (!QDir().mkpath(QFileInfo(packagePath).absolutePath())) {
        return fail(error, QStringLiteral("cannot create the folder of %1").arg(packagePath));
    }
    // Written beside the target and renamed over it, so a failed run never
    // leaves a truncated package that looks finished.
    const QString partPath = packagePath + ".part";
    QFile::remove(partPath);
    if (!writeZip(source, partPath, error)) {
        QFile::remove(partPath);
        return false;
    }
    QFile::remove(packagePath);
    if (!QFile::rename(partPath, packagePath)) {
        QFile::remove(partPath);
        return fail(error, QStringLiteral("cannot create %1").arg(packagePath));
    }
    return true;
}

}  // namespace package
