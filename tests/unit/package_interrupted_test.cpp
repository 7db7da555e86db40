#include <QDir>
#include <QFile>

#include "platform/package.h"
#include "tests/support/tempbase.h"

namespace {

// Unpacks that stop half way, by a fault of the package or because the
// program was killed, as the next unpack or start finds them.
class InterruptedUnpackTest : public TempBaseTest {
protected:
    QString path(const QString& relative) const { return basePath() + '/' + relative; }

    // A course package of the usual shape, its files holding `mark`.
    QString makePackage(const QString& name, const QByteArray& mark) {
        writeBytes(path(name + "/DEMO.lxs"), "DEMO\r\n" + mark + "\r\n");
        writeBytes(path(name + "/DEMO/LexivoData.mdb"), "course " + mark);
        writeBytes(path(name + "/DEMO/userData.mdb"), "learner " + mark);
        writeBytes(path(name + "/DEMO/pic/unit1.png"), "picture " + mark);
        const QString package = path(name + ".giz");
        EXPECT_TRUE(package::pack(path(name), package));
        return package;
    }

    QByteArrayList installedFiles() const {
        return {readBytes(path("dest/DEMO.lxs")), readBytes(path("dest/DEMO/LexivoData.mdb")),
                readBytes(path("dest/DEMO/userData.mdb")),
                readBytes(path("dest/DEMO/pic/unit1.png"))};
    }

    static QByteArrayList filesHolding(const QByteArray& mark) {
        return {"DEMO\r\n" + mark + "\r\n", "course " + mark, "learner " + mark, "picture " + mark};
    }

    QStringList hiddenFolders() const {
        return QDir(path("dest"))
            .entryList({".*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(InterruptedUnpackTest, ReplacesTheFormerFilesAndLeavesNothingHiddenBehind) {
    ASSERT_TRUE(package::unpack(makePackage("old", "old"), path("dest")));
    ASSERT_TRUE(package::unpack(makePackage("new", "new"), path("dest")));
    EXPECT_EQ(installedFiles(), filesHolding("new"));
    EXPECT_TRUE(hiddenFolders().isEmpty());
}

// A folder standing where a file goes: that one file cannot be placed, and
// the others still are, since the waiting copies are not kept.
TEST_F(InterruptedUnpackTest, AnEntryThatCannotBePlacedKeepsTheOthersMoving) {
    ASSERT_TRUE(package::unpack(makePackage("old", "old"), path("dest")));
    ASSERT_TRUE(QFile::remove(path("dest/DEMO/userData.mdb")));
    writeBytes(path("dest/DEMO/userData.mdb/blocker"), "x");

    EXPECT_FALSE(package::unpack(makePackage("new", "new"), path("dest")));
    const QByteArrayList installed = installedFiles();
    EXPECT_EQ(installed.at(0), filesHolding("new").at(0));
    EXPECT_EQ(installed.at(1), filesHolding("new").at(1));
    EXPECT_EQ(installed.at(3), filesHolding("new").at(3));
    EXPECT_TRUE(hiddenFolders().isEmpty());
}

// A package whose second file cannot be read: the first one must not
// replace its former copy either. Its failure is the package's, not the
// writing's.
TEST_F(InterruptedUnpackTest, APackageThatBreaksOffLeavesTheFormerFilesWhole) {
    const QString whole = makePackage("old", "old");
    ASSERT_TRUE(package::unpack(whole, path("dest")));
    const QString broken = makePackage("new", "new" + QByteArray(200000, 'x'));
    QByteArray bytes = readBytes(broken);
    const qsizetype data = bytes.indexOf("DEMO/LexivoData.mdb") + 400;
    for (qsizetype at = data; at < data + 64; ++at) {
        bytes[at] = char(~bytes.at(at));
    }
    writeBytes(broken, bytes);

    QString error;
    EXPECT_FALSE(package::unpack(broken, path("dest"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(installedFiles(), filesHolding("old"));
    EXPECT_TRUE(hiddenFolders().isEmpty());
    EXPECT_TRUE(package::isWhole(whole));
    EXPECT_FALSE(package::isWhole(broken));
}

TEST_F(InterruptedUnpackTest, HalfWrittenEntriesAreDroppedUnseen) {
    ASSERT_TRUE(package::unpack(makePackage("old", "old"), path("dest")));
    writeBytes(path("dest/.unpacking/DEMO/LexivoData.mdb"), "cut sh");

    EXPECT_TRUE(package::finishInterruptedUnpack(path("dest")));
    EXPECT_EQ(installedFiles(), filesHolding("old"));
    EXPECT_TRUE(hiddenFolders().isEmpty());
}

// Killed after the course file and the picture had been moved: the next
// start moves the rest, so the course is the new one throughout.
TEST_F(InterruptedUnpackTest, EntriesWaitingToBeMovedAreMovedOnTheNextRun) {
    ASSERT_TRUE(package::unpack(makePackage("old", "old"), path("dest")));
    writeBytes(path("dest/DEMO/LexivoData.mdb"), "course new");
    writeBytes(path("dest/DEMO/pic/unit1.png"), "picture new");
    writeBytes(path("dest/.unpacked/DEMO.lxs"), "DEMO\r\nnew\r\n");
    writeBytes(path("dest/.unpacked/DEMO/userData.mdb"), "learner new");
    QDir().mkpath(path("dest/.unpacked/DEMO/pic"));

    EXPECT_TRUE(package::finishInterruptedUnpack(path("dest")));
    EXPECT_EQ(installedFiles(), filesHolding("new"));
    EXPECT_TRUE(hiddenFolders().isEmpty());
}

TEST_F(InterruptedUnpackTest, AnUnpackFinishesTheOneBeforeItFirst) {
    writeBytes(path("dest/.unpacked/OTHER.lxs"), "OTHER\r\n");
    ASSERT_TRUE(package::unpack(makePackage("new", "new"), path("dest")));
    EXPECT_EQ(readBytes(path("dest/OTHER.lxs")), "OTHER\r\n");
    EXPECT_EQ(installedFiles(), filesHolding("new"));
}

TEST_F(InterruptedUnpackTest, AReplacedDatabaseDoesNotInheritTheFormerJournal) {
    ASSERT_TRUE(package::unpack(makePackage("old", "old"), path("dest")));
    writeBytes(path("dest/DEMO/userData.mdb-journal"), "pages of the old file");
    writeBytes(path("dest/DEMO/notes.txt-journal"), "not replaced, so kept");

    ASSERT_TRUE(package::unpack(makePackage("new", "new"), path("dest")));
    EXPECT_FALSE(QFile::exists(path("dest/DEMO/userData.mdb-journal")));
    EXPECT_TRUE(QFile::exists(path("dest/DEMO/notes.txt-journal")));
}

// Adjusted before the entries are declared whole, a file moves into place
// as adjusted, also by the next start; an adjustment that fails moves none.
TEST_F(InterruptedUnpackTest, EntriesMoveAsAdjustedAndAFailedAdjustmentMovesNone) {
    ASSERT_TRUE(package::unpack(makePackage("old", "old"), path("dest")));
    const QString fresh = makePackage("new", "new");
    EXPECT_FALSE(
        package::unpack(fresh, path("dest"), nullptr, {}, [](const QString&) { return false; }));
    EXPECT_EQ(installedFiles(), filesHolding("old"));
    EXPECT_TRUE(hiddenFolders().isEmpty());

    ASSERT_TRUE(package::unpack(fresh, path("dest"), nullptr, {}, [](const QString& entries) {
        writeBytes(entries + "/DEMO.lxs", "adjusted");
        return true;
    }));
    EXPECT_EQ(readBytes(path("dest/DEMO.lxs")), "adjusted");
    EXPECT_EQ(installedFiles().mid(1), filesHolding("new").mid(1));
}

TEST_F(InterruptedUnpackTest, NothingToFinishInAFolderThatIsNotThere) {
    EXPECT_TRUE(package::finishInterruptedUnpack(path("missing")));
    EXPECT_FALSE(QDir(path("missing")).exists());
}

}  // namespace
