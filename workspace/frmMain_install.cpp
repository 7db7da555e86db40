#include <QDir>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/mainwindowlink.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/stagedcourse.h"

using namespace mainmeasures;

namespace {

// Copies left behind by earlier installs.
void deleteEarlierCopies() {
    QDir base(gBasePath);
    for (const QString& name : base.entryList({"classdata*.*"}, QDir::Files)) {
        base.remove(name);
    }
}

// The course's databases may be open (a reinstall of the open course);
// they are reopened on their next use. The version file and the plan are
// settled before the files take their places, so that an end at any moment
// from here on leaves the former course or the new one, with the learner's
// plan either way.
bool unpackCourse(const QString& pCourseFile, const KeptPlan* pKeptPlan) {
    db::closeAllConnections();
    const QString copyName = "classdata" + GetUniqueID() + ".exe";
    const auto settleCourse = [pKeptPlan](const QString& staging) {
        const StagedCourse course(staging, ProductFolder());
        return course.forgetVersions() && (!pKeptPlan || course.keepPlan(*pKeptPlan));
    };
    QString error;
    if (!RunPackage(pCourseFile, copyName, ProductFolder(), &error, settleCourse)) {
        qWarning("Course package not installed: %s", qUtf8Printable(error));
        return false;
    }
    return true;
}

}  // namespace

bool frmMain::InstallCourseProc(const QString& pCourseFile, const KeptPlan* pKeptPlan) {
    if (pCourseFile.isEmpty()) {
        return false;
    }
    // Nothing modal is up while the package unpacks: a course opened, or
    // another one installed, meanwhile would write into the same folder.
    const MainWindowHold whileInstalling;
    FormInstance<frmMessage>::get()->ProgressMsgBox("4000", 0, QString(), "0");
    QDir().mkpath(ProductFolder());
    deleteEarlierCopies();
    const bool installed = unpackCourse(pCourseFile, pKeptPlan);
    FormInstance<frmMessage>::unload();
    if (installed) {
        MessageBoxAndWait("2986", 0, "OK", "0");
    } else {
        MessageBoxAndWait(PackageFailureMessage(pCourseFile, "29861"), 1, "OK", "1");
    }
    return installed;
}

void frmMain::QueryForCloseProc() {
    SetMenuButtons(kButtonExit, kFacePressed);
    if (MessageBoxAndWait("40", 2, "OK_CANCEL", "2") == "OK") {
        EndProgram();
        return;
    }
    SetMenuButtons(kButtonExit, kFaceNormal);
}
