// The program's own writes, run over and over in a process of their own
// that the crash tests kill with SIGKILL part way through. Each operation
// says "ready" once its setting up is done and the writing begins.

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <functional>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/package.h"
#include "platform/treenode.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassSelect.h"
#include "startup/frmLogin.h"
#include "startup/frmSchedule.h"
#include "tests/crash/crashoperations.h"
#include "tests/crash/killingfilelayer.h"
#include "workspace/frmMain.h"
#include "workspace/studyplan.h"

namespace {

void say(const QByteArray& line) {
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Leaves without tearing the windows down: the databases are committed,
// and the browser's engine takes long to close.
[[noreturn]] void leave(int code) {
    std::fflush(stdout);
    ::_exit(code);
}

[[noreturn]] void repeatUntilKilled(const std::function<void(int)>& write) {
    say("ready");
    for (int round = 0;; ++round) {
        write(round);
    }
}

void setUpGlobalsOnTmp(const QString& serviceUrl) {
    InitialGlobalSetting();
    gServerURL = serviceUrl;
    gFeedbackURL = serviceUrl;
    gWebEngineLookupURL = serviceUrl;
    gWebURL = serviceUrl;
    BuildConnStrings();
}

int twoFiles(const QStringList& arguments) {
    const QString learner = "Data Source=" + arguments.value(0);
    const QString course = "Data Source=" + arguments.value(1);
    killingfilelayer::install(QFile::encodeName(QFileInfo(arguments.value(0)).absolutePath()),
                              arguments.value(2).toLong());
    killingfilelayer::arm();
    say("ready");
    for (int round = 1; round <= crashops::kTwoFileRounds; ++round) {
        db::Transaction both(learner, course);
        const QString value = QString::number(round);
        if (!both.isActive() || !db::execute("update UserSntn set v = '" + value + "'", learner) ||
            !db::execute("update bswunit set v = '" + value + "'", course) || !both.commit()) {
            leave(1);
        }
    }
    say("operations " + QByteArray::number(killingfilelayer::operationCount()));
    leave(0);
}

int settingsFile(const QStringList& arguments) {
    repeatUntilKilled([&arguments](int round) {
        SetFile_IO(arguments.value(0), "W", arguments.value(1), crashops::settingValue(round % 2));
    });
}

int registryFile() {
    repeatUntilKilled([](int round) {
        gCourseId = crashops::registryCourse(round % 2);
        RegistrySet_IO("RESET");
    });
}

int textFile(const QStringList& arguments) {
    const QString texts[] = {crashops::pageText(0), crashops::pageText(1)};
    repeatUntilKilled(
        [&arguments, &texts](int round) { WriteTextFile(arguments.value(0), texts[round % 2]); });
}

// The plan dialog's confirmation: the descriptor, then the service, which
// does not answer, so the plan also waits in setup.set.
int studyPlan(const QStringList& arguments) {
    setUpGlobalsOnTmp(arguments.value(0));
    gCourseId = "DEMO";
    repeatUntilKilled([](int round) {
        crashops::setPlan(round % 2);
        studyplan::writeDescriptor(false);
        studyplan::sendToService();
    });
}

int serverList() {
    frmLogin* login = FormInstance<frmLogin>::get();
    repeatUntilKilled([login](int round) {
        login->cboServer->setEditText(crashops::serverName(round % 2));
        login->WriteServerList();
    });
}

// The course install's own steps, without its closing message: a copy of
// the package in the base folder unpacked into the product folder. Kills
// itself at the given event round of the unpacking, when asked to.
int courseInstall(const QStringList& arguments) {
    const QString packages[] = {arguments.value(0), arguments.value(1)};
    const int killAtRound = arguments.value(2).toInt();
    int eventRounds = 0;
    QTimer roundCounter;
    roundCounter.setInterval(0);
    QObject::connect(&roundCounter, &QTimer::timeout, [&eventRounds, killAtRound] {
        if (++eventRounds == killAtRound) {
            std::raise(SIGKILL);
        }
    });
    roundCounter.start();
    repeatUntilKilled([&packages](int round) {
        QDir base(gBasePath);
        for (const QString& name : base.entryList({"classdata*.*"}, QDir::Files)) {
            base.remove(name);
        }
        RunPackage(packages[(round + 1) % 2], "classdata" + GetUniqueID() + ".exe",
                   ProductFolder());
    });
}

// The main window on the demo course, as the LXV start leaves it.
frmMain* openDemoWindow(const QString& serviceUrl) {
    setUpGlobalsOnTmp(serviceUrl);
    gEdition = "LXV";
    gAllowedCourses = "DEMO";
    if (!FileExists(ProductFolder() + "/DEMO.lxs") &&
        !package::unpack(ProgramFolder() + "/DEMO.giz", ProductFolder())) {
        leave(2);
    }
    SetFile_IO(gSetupSetFile, "W", "lastCourse", "DEMO");
    frmMain* window = FormInstance<frmMain>::get();
    if (FormInstance<frmSchedule>::isLoaded()) {
        FormInstance<frmSchedule>::get()->imgClose_Click();
        FormInstance<frmSchedule>::unload();
    }
    return window;
}

// One sync for each account named, in turn; the file layer counts (and
// cuts) only what the syncs write.
int recordsSync(const QStringList& arguments) {
    const QString courseFolder = QDir(qEnvironmentVariable("TMP")).filePath("Lexivo2/DEMO");
    killingfilelayer::install(QFile::encodeName(courseFolder), arguments.value(2).toLong());
    frmMain* window = openDemoWindow(arguments.value(0));
    killingfilelayer::arm();
    say("ready");
    for (const QString& account : arguments.value(1).split(',', Qt::SkipEmptyParts)) {
        gPno = account;
        window->SyncProcess(false);
        // Its closing message would wait for a learner who is not there.
        window->tmrSyncMessageWait.stop();
    }
    say("operations " + QByteArray::number(killingfilelayer::operationCount()));
    leave(0);
}

// The LXQ opening's reload of progress and mistakes from the service, once
// for each account named; cut as the records sync is.
int progressReload(const QStringList& arguments) {
    const QString courseFolder = QDir(qEnvironmentVariable("TMP")).filePath("Lexivo2/DEMO");
    killingfilelayer::install(QFile::encodeName(courseFolder), arguments.value(2).toLong());
    setUpGlobalsOnTmp(arguments.value(0));
    gEdition = "LXQ";
    if (!FileExists(ProductFolder() + "/DEMO.lxs") &&
        !package::unpack(ProgramFolder() + "/DEMO.giz", ProductFolder())) {
        leave(2);
    }
    gCourseId = "DEMO";
    gServerCourseId = "DEMO";
    frmClassSelect* picker = FormInstance<frmClassSelect>::get();
    killingfilelayer::arm();
    say("ready");
    for (const QString& account : arguments.value(1).split(',', Qt::SkipEmptyParts)) {
        gPno = account;
        picker->UpdateLocalProgress();
    }
    say("operations " + QByteArray::number(killingfilelayer::operationCount()));
    leave(0);
}

int nodeClicks(const QStringList& arguments) {
    frmMain* window = openDemoWindow(arguments.value(0));
    TreeNode* nodes[] = {window->treMain->nodeByKey(crashops::clickedNodeKey(0)),
                         window->treMain->nodeByKey(crashops::clickedNodeKey(1))};
    if (!nodes[0] || !nodes[1]) {
        leave(3);
    }
    repeatUntilKilled([window, &nodes](int round) {
        window->treMain_NodeClick(nodes[round % 2]);
        QCoreApplication::processEvents();
    });
}

int run(const QString& operation, const QStringList& arguments) {
    if (operation == "twofiles") {
        return twoFiles(arguments);
    }
    if (operation == "setfile") {
        return settingsFile(arguments);
    }
    if (operation == "registry") {
        setUpGlobalsOnTmp(arguments.value(0));
        return registryFile();
    }
    if (operation == "textfile") {
        return textFile(arguments);
    }
    if (operation == "plan") {
        return studyPlan(arguments);
    }
    if (operation == "serverlist") {
        setUpGlobalsOnTmp(arguments.value(0));
        return serverList();
    }
    if (operation == "install") {
        setUpGlobalsOnTmp(QString());
        return courseInstall(arguments);
    }
    if (operation == "sync") {
        return recordsSync(arguments);
    }
    if (operation == "reload") {
        return progressReload(arguments);
    }
    if (operation == "nodeclick") {
        return nodeClicks(arguments);
    }
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    return run(arguments.value(1), arguments.mid(2));
}
