#include <QDir>
#include <QFile>

#include "platform/package.h"
#include "tests/support/hostilezip.h"
#include "tests/support/tempbase.h"

namespace {

class PackageReservedNamesTest : public TempBaseTest {
protected:
    QString path(const QString& relative) const { return basePath() + '/' + relative; }
};

// The unpacker's own folders inside the destination cannot come from a
// package, in any case: an entry there would vanish with them, reported as
// unpacked.
TEST_F(PackageReservedNamesTest, EntriesInTheUnpackersOwnFoldersAreRefused) {
    for (const char* entry : {".unpacked/kept.txt", ".unpacking/kept.txt", "./.unpacked/kept.txt",
                              ".unpacked\\kept.txt", ".UNPACKING/kept.txt"}) {
        const QString package = path("reserved.giz");
        QFile::remove(package);
        ASSERT_TRUE(writeHostileZip(package, {{"DEMO/unit1.xtm"}, {entry}}));
        writeBytes(path("dest/DEMO/unit1.xtm"), "old");

        QString error;
        EXPECT_FALSE(package::unpack(package, path("dest"), &error)) << entry;
        EXPECT_TRUE(error.contains("kept for unpacking")) << error.toStdString();
        EXPECT_EQ(readBytes(path("dest/DEMO/unit1.xtm")), "old") << entry;
        EXPECT_TRUE(QDir(path("dest"))
                        .entryList({".*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                        .isEmpty())
            << entry;
    }
}

// Names that only resemble them are ordinary entries.
TEST_F(PackageReservedNamesTest, LikeNamedEntriesAreUnpacked) {
    const QString package = path("alike.giz");
    ASSERT_TRUE(writeHostileZip(package, {{".unpacked2/a.txt"}, {"DEMO/.unpacked/b.txt"}}));
    ASSERT_TRUE(package::unpack(package, path("dest")));
    EXPECT_EQ(readBytes(path("dest/.unpacked2/a.txt")), "planted");
    EXPECT_EQ(readBytes(path("dest/DEMO/.unpacked/b.txt")), "planted");
}

}  // namespace
