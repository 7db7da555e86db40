#include <archive.h>
#include <archive_entry.h>

#include <QDir>
#include <QFile>
#include <QTimer>
#include <vector>

#include "platform/package.h"
#include "tests/support/tempbase.h"

namespace {

struct ZipEntry {
    QString path;
    QByteArray data;
    int type = AE_IFREG;
    QString symlink;
};

ZipEntry fileEntry(const QString& path, const QByteArray& data) {
    return {path, data, AE_IFREG, {}};
}

ZipEntry linkEntry(const QString& path, const QString& target) {
    return {path, {}, AE_IFLNK, target};
}

// Writes entries exactly as given, as a hostile package would.
void writeZip(const QString& zipPath, const std::vector<ZipEntry>& entries) {
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    ASSERT_EQ(archive_write_open_filename(writer, QFile::encodeName(zipPath).constData()),
              ARCHIVE_OK);
    for (const ZipEntry& item : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, item.path.toUtf8().constData());
        archive_entry_set_filetype(entry, item.type);
        archive_entry_set_perm(entry, 0644);
        if (!item.symlink.isEmpty()) {
            archive_entry_set_symlink(entry, item.symlink.toUtf8().constData());
        }
        archive_entry_set_size(entry, item.data.size());
        archive_write_header(writer, entry);
        archive_write_data(writer, item.data.constData(), size_t(item.data.size()));
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

QStringList entryNames(const QString& zipPath) {
    QStringList names;
    archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    if (archive_read_open_filename(reader, QFile::encodeName(zipPath).constData(), 4096) ==
        ARCHIVE_OK) {
        archive_entry* entry = nullptr;
        while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
            names << QString::fromUtf8(archive_entry_pathname_utf8(entry));
        }
    }
    archive_read_free(reader);
    return names;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    const QDir root(folder);
    for (const QFileInfo& info :
         root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        files << info.fileName();
    }
    return files;
}

class PackageTest : public TempBaseTest {
protected:
    QString path(const QString& relative) const { return basePath() + '/' + relative; }

    // Unpacking must refuse the package and leave the destination empty,
    // even of the harmless entry that comes first.
    void expectRefused(const ZipEntry& hostile) {
        writeZip(path("hostile.giz"), {fileEntry("first.txt", "harmless"), hostile});
        QString error;
        EXPECT_FALSE(package::unpack(path("hostile.giz"), path("dest"), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(filesUnder(path("dest")).isEmpty());
    }
};

TEST_F(PackageTest, UnpacksWhatItPackedWithFoldersBytesAndChineseNames) {
    const QByteArray binary("\x00\x01\xff\r\n\x1a", 6);
    writeBytes(path("src/A01/LexivoData.mdb"), binary);
    writeBytes(path("src/A01/pic/一.png"), "picture");
    writeBytes(path("src/A01.lxs"), "A01\r\n");
    QDir().mkpath(path("src/empty"));

    QString error;
    ASSERT_TRUE(package::pack(path("src"), path("out/A01.giz"), &error)) << error.toStdString();
    ASSERT_TRUE(package::unpack(path("out/A01.giz"), path("dest/new"), &error))
        << error.toStdString();

    EXPECT_EQ(readBytes(path("dest/new/A01/LexivoData.mdb")), binary);
    EXPECT_EQ(readBytes(path("dest/new/A01/pic/一.png")), "picture");
    EXPECT_EQ(readBytes(path("dest/new/A01.lxs")), "A01\r\n");
    EXPECT_TRUE(QDir(path("dest/new/empty")).exists());
    EXPECT_FALSE(QFile::exists(path("out/A01.giz.part")));
}

TEST_F(PackageTest, PacksRelativePathsInSortedOrder) {
    writeBytes(path("src/b.txt"), "b");
    writeBytes(path("src/a/z.txt"), "z");
    writeBytes(path("src/a.txt"), "a");

    ASSERT_TRUE(package::pack(path("src"), path("out.giz")));

    EXPECT_EQ(entryNames(path("out.giz")), (QStringList{"a/", "a.txt", "a/z.txt", "b.txt"}));
}

TEST_F(PackageTest, OverwritesFilesAlreadyInTheDestination) {
    writeBytes(path("src/page.htm"), "new");
    writeBytes(path("dest/page.htm"), "old and longer");
    ASSERT_TRUE(package::pack(path("src"), path("p.giz")));

    ASSERT_TRUE(package::unpack(path("p.giz"), path("dest")));

    EXPECT_EQ(readBytes(path("dest/page.htm")), "new");
}

TEST_F(PackageTest, RefusesEntriesThatLeaveTheDestination) {
    expectRefused(fileEntry("../outside.txt", "escaped"));
    expectRefused(fileEntry("sub/../../outside.txt", "escaped"));
    expectRefused(fileEntry("..\\outside.txt", "escaped"));
    EXPECT_FALSE(QFile::exists(path("outside.txt")));
}

TEST_F(PackageTest, RefusesAbsolutePaths) {
    expectRefused(fileEntry(path("absolute.txt"), "escaped"));
    expectRefused(fileEntry("C:/absolute.txt", "escaped"));
    EXPECT_FALSE(QFile::exists(path("absolute.txt")));
}

// Zip archives cannot hold hard links (libarchive reads them back as plain
// files), so symbolic links are the links a package can smuggle in.
TEST_F(PackageTest, RefusesSymbolicLinks) {
    expectRefused(linkEntry("link", "/etc/passwd"));
    expectRefused(linkEntry("dir/link", "../.."));
}

TEST_F(PackageTest, DoesNotWriteThroughALinkAlreadyInTheDestination) {
    QDir().mkpath(path("dest"));
    QDir().mkpath(path("elsewhere"));
    ASSERT_TRUE(QFile::link(path("elsewhere"), path("dest/course")));
    writeZip(path("p.giz"), {fileEntry("course/file.txt", "data")});
    writeZip(path("deeper.giz"), {fileEntry("course/sub/file.txt", "data")});

    EXPECT_FALSE(package::unpack(path("p.giz"), path("dest")));
    EXPECT_FALSE(package::unpack(path("deeper.giz"), path("dest")));

    EXPECT_TRUE(filesUnder(path("elsewhere")).isEmpty());

    // A sibling whose name begins with the destination's is still outside.
    QDir().mkpath(path("dest2"));
    ASSERT_TRUE(QFile::link(path("dest2"), path("dest/sibling")));
    writeZip(path("sibling.giz"), {fileEntry("sibling/file.txt", "data")});
    EXPECT_FALSE(package::unpack(path("sibling.giz"), path("dest")));
    EXPECT_TRUE(filesUnder(path("dest2")).isEmpty());
}

TEST_F(PackageTest, FailsOnFilesThatAreNotZipArchives) {
    writeBytes(path("text.giz"), "this is not an archive\r\n");
    writeBytes(path("empty.giz"), "");
    QString error;

    EXPECT_FALSE(package::unpack(path("text.giz"), path("dest"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(package::unpack(path("empty.giz"), path("dest")));
    EXPECT_FALSE(package::unpack(path("missing.giz"), path("dest")));
    EXPECT_TRUE(filesUnder(path("dest")).isEmpty());
}

TEST_F(PackageTest, KeepsEventsRunningWhileUnpacking) {
    writeBytes(path("src/one.txt"), "1");
    writeBytes(path("src/two.txt"), "2");
    ASSERT_TRUE(package::pack(path("src"), path("p.giz")));
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });

    ASSERT_TRUE(package::unpack(path("p.giz"), path("dest")));

    EXPECT_TRUE(timerRan);
}

TEST_F(PackageTest, PackFailsForAMissingFolderAndLeavesNoFile) {
    QString error;
    EXPECT_FALSE(package::pack(path("missing"), path("out.giz"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path("out.giz")));
}

}  // namespace
