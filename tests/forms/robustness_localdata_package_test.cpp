#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <vector>

#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "tests/forms/localdatafixture.h"
#include "tests/support/hostilezip.h"
#include "tests/support/messagewindow.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kPollIntervalMs = 5;
const QString kNotInstalledText = QStringLiteral("無法安裝所選擇的課程");
// Where an absolute entry would land.
const QString kPlantedOutside = QStringLiteral("/tmp/lexivo-planted.txt");

// A course package as a hostile or broken one comes: entries written
// exactly as given after a harmless course file.
struct HostilePackage {
    const char* name;
    std::vector<HostileZipEntry> entries;
    // Not a zip archive at all: these bytes instead.
    QByteArray bytes;
};

void PrintTo(const HostilePackage& package, std::ostream* out) {
    *out << package.name;
}

void writePackage(const QString& path, const HostilePackage& package) {
    if (package.entries.empty()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(package.bytes);
        return;
    }
    std::vector<HostileZipEntry> entries = {{"EVIL/LexivoData.mdb"}};
    entries.insert(entries.end(), package.entries.begin(), package.entries.end());
    ASSERT_TRUE(writeHostileZip(path, entries));
}

// Every file under the folder with its bytes, to see that nothing changed.
QMap<QString, QByteArray> filesUnder(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(root.relativeFilePath(path),
                     file.open(QIODevice::ReadOnly) ? file.readAll() : "(unreadable)");
    }
    return files;
}

class HostilePackageTest : public LocalDataTest,
                           public ::testing::WithParamInterface<HostilePackage> {
protected:
    // The demo course installed and open, with records of the learner's.
    frmMain* openWindowWithLearnerData() {
        frmMain* window = makeMainWindow("LXV");
        writeBytes(ProductFolder() + "/setup.set", "lastCourse=DEMO\r\npublisher=x\r\n");
        writeBytes(ProductFolder() + "/DEMO/node.set", "\"U1000100\"\r\n");
        return window;
    }
    // Everything under the base folder but the package copies that the
    // installs leave there, which are no learner's data.
    QMap<QString, QByteArray> learnerData() const {
        QMap<QString, QByteArray> files = filesUnder(basePath());
        for (auto it = files.begin(); it != files.end();) {
            it = it.key().endsWith(".exe") || it.key().endsWith(".giz") ? files.erase(it)
                                                                        : std::next(it);
        }
        return files;
    }
};

// The package is refused as a whole: not one of its entries is written, the
// learner's data stays as it was, and the learner is told.
TEST_P(HostilePackageTest, ACourseInstallRefusesItAndSaysSo) {
    frmMain* window = openWindowWithLearnerData();
    const QString package = basePath() + "/downloads/EVIL.giz";
    QDir().mkpath(basePath() + "/downloads");
    writePackage(package, GetParam());
    const auto before = learnerData();
    MessageAnswerer answerer("OK");

    EXPECT_FALSE(window->InstallCourseProc(package));

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().first().startsWith(kNotInstalledText));
    EXPECT_EQ(learnerData().keys(), before.keys());
    EXPECT_EQ(learnerData(), before);
    EXPECT_FALSE(QFile::exists(ProductFolder() + "/EVIL"));
    EXPECT_FALSE(QFile::exists(kPlantedOutside));
    EXPECT_EQ(window->treMain->count(), 19);
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Packages, HostilePackageTest,
    ::testing::Values(HostilePackage{"empty file", {}, ""},
                      HostilePackage{"not a zip", {}, binaryGarbage()},
                      HostilePackage{"parent folder", {{"../outside.txt"}}, ""},
                      HostilePackage{"parent folder in the middle", {{"EVIL/../../setup.set"}}, ""},
                      HostilePackage{"windows parent folder", {{"..\\outside.txt"}}, ""},
                      HostilePackage{"absolute path", {{kPlantedOutside}}, ""},
                      HostilePackage{"drive letter", {{"C:/planted.txt"}}, ""},
                      HostilePackage{"link", {{"EVIL/pic", AE_IFLNK, "/etc"}}, ""},
                      HostilePackage{"link up", {{"setup.set", AE_IFLNK, "../glossor"}}, ""}));

// The download

// Closes the course picker each time it comes up.
class PickerCloser {
public:
    PickerCloser() {
        m_timer.setInterval(kPollIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (FormInstance<frmClassSelect>::isLoaded() &&
                FormInstance<frmClassSelect>::get()->isVisible()) {
                FormInstance<frmClassSelect>::unload();
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

class HostileDownloadTest : public HostilePackageTest {
protected:
    // A stand-in whose course EVIL is the package of the test.
    void startStandinWithPackage(const QString& package, const QString& seedFolder) {
        QFile seed(QStringLiteral(LEXIVO_PROGRAM_DIR) + "/standin-seed.json");
        ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
        QJsonObject content = QJsonDocument::fromJson(seed.readAll()).object();
        QJsonArray courses = content.value("courses").toArray();
        courses.append(
            QJsonObject{{"id", "EVIL"}, {"name", "惡意"}, {"version", "1"}, {"package", package}});
        content.insert("courses", courses);
        const QString ownSeed = seedFolder + "/seed.json";
        QFile written(ownSeed);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(QJsonDocument(content).toJson());
        written.close();
        ASSERT_TRUE(standin.start(QString(), {"--seed", ownSeed}));
    }

    StandinProcess standin;
};

// An arrived package that will not install is reported as such, not as a
// failed download, and leaves no descriptor of a course that is not there.
TEST_P(HostileDownloadTest, ADownloadedPackageIsRefusedAndLeavesNothingBehind) {
    QTemporaryDir packages;
    const QString package = packages.path() + "/EVIL.giz";
    writePackage(package, GetParam());
    startStandinWithPackage(package, packages.path());
    openWindowWithLearnerData();
    gServerURL = standin.baseUrl();
    const auto before = learnerData();
    MessageAnswerer answerer("OK");
    PickerCloser picker;

    bool cancel = false;
    FormInstance<frmClassDownload>::get()->webMain_BeforeNavigate2("cmd:EVIL", cancel);

    EXPECT_TRUE(cancel);
    ASSERT_EQ(answerer.texts().size(), 1) << answerer.texts().join('|').toStdString();
    EXPECT_TRUE(answerer.texts().first().startsWith(kNotInstalledText));
    EXPECT_EQ(learnerData(), before);
    EXPECT_FALSE(QFile::exists(ProductFolder() + "/EVIL.lxs"));
    EXPECT_FALSE(QFile::exists(ProductFolder() + "/EVIL"));
    EXPECT_FALSE(QFile::exists(kPlantedOutside));
}

INSTANTIATE_TEST_SUITE_P(
    Packages, HostileDownloadTest,
    ::testing::Values(HostilePackage{"empty file", {}, ""},
                      HostilePackage{"not a zip", {}, binaryGarbage()},
                      HostilePackage{"parent folder", {{"../outside.txt"}}, ""},
                      HostilePackage{"absolute path", {{kPlantedOutside}}, ""},
                      HostilePackage{"link", {{"EVIL/pic", AE_IFLNK, "/etc"}}, ""}));

}  // namespace
