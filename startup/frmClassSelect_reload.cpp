#include <optional>
#include <QListWidget>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/mainwindowlink.h"
#include "shared/request.h"
#include "shared/servicescripts.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "startup/signinreplies.h"
#include "workspace/batchedrepaint.h"
#include "workspace/frmMain.h"
#include "workspace/progressbatch.h"
#include "workspace/studyplan.h"
#include "workspace/syncreplies.h"

// The opening runs on after the picker may have been unloaded (the version
// and refusal roads unload it, the download window may load a new one), so
// everything after the choice of the course lives outside the picker's
// instance.

namespace {

frmMain* mainWindow() {
    return FormInstance<frmMain>::get();
}

// A refused course leaves the open one as it was: its id, its tree, and
// menus that follow that tree.
void keepOpenCourse(const QString& pOpenCourseId) {
    gCourseId = pOpenCourseId;
    frmMain* main = mainWindow();
    main->DisableAllButtonMenus(main->treMain->count() == 0);
    SetMainWindowEnabled(true);
    FormInstance<frmClassSelect>::unload();
}

// What an opening changes before it knows whether its course can be shown
// (the plan and the name that the service's plan brings, the course that
// the next start opens), put back when it cannot: the course that stays
// open keeps its own.
struct OpenCourseFacts {
    studyplan::Plan plan;
    QString courseName;
    QString lastCourse;
};

OpenCourseFacts openCourseFacts() {
    return {studyplan::current(), gCourseName, SetFile_IO(gSetupSetFile, "R", "lastCourse", "")};
}

void restoreOpenCourse(const OpenCourseFacts& pFacts) {
    studyplan::restore(pFacts.plan);
    gCourseName = pFacts.courseName;
    SetFile_IO(gSetupSetFile, "W", "lastCourse", pFacts.lastCourse);
}

QString serviceList(const QString& pScript) {
    const QString form = RequestForm({{"regid", gPno}, {"courseid", gServerCourseId}});
    return PostQueryRequest(gServerURL + pScript, form).value_or(kConnectFailed);
}

// Every unit back to '1', then the listed ones to their state, all or
// nothing.
void applyProgress(const QList<syncreplies::ProgressItem>& pItems) {
    db::Transaction transaction(gCourseConnStr);
    if (transaction.isActive() && writeProgress(pItems, gCourseConnStr, doEvents)) {
        transaction.commit();
    }
}

// The service's counts replace the learner's, all or nothing.
void applyMistakes(const QList<syncreplies::MistakeCount>& pCounts) {
    db::Transaction transaction(gUserConnStr);
    bool done =
        transaction.isActive() && db::execute("delete from mistakes where 1=1", gUserConnStr);
    for (const syncreplies::MistakeCount& mistake : pCounts) {
        doEvents();
        done = done && db::execute("insert into mistakes values ( '" + SqlText(mistake.code) +
                                       "'," + QString::number(mistake.count) + ")",
                                   gUserConnStr);
    }
    if (done) {
        transaction.commit();
    }
}

void updateLocalProgress() {
    BuildConnStrings();
    FormInstance<frmMessage>::get()->ProgressMsgBox("5000", 0, QString(), "0");
    doEvents();

    if (const auto items = syncreplies::progressItems(serviceList("p_getprogress.asp"))) {
        applyProgress(*items);
    }
    if (const auto counts = syncreplies::mistakeCounts(serviceList("p_getmistakes.asp"))) {
        applyMistakes(*counts);
    }
    FormInstance<frmMessage>::unload();
}

// The new tree and the menus that follow it are painted once, on the
// enabled window: a paint of the still-disabled window in between would be
// replaced before it could be seen.
void showOpenedCourse() {
    const BatchedRepaint wholeWindow(mainWindow());
    doEvents();
    frmMain* main = mainWindow();
    main->DisableAllButtonMenus(main->treMain->count() == 0);
    SetMainWindowEnabled(true);
}

bool isServerEdition() {
    return gEdition == "LXQ" || gEdition == "LXM";
}

bool isPermittedCourse(const QString& pCourseId) {
    return gEdition != "LXM" || isAllowedCourse(gAllowedCourses, pCourseId);
}

// Opens gSelCourseId, from the account's permission on.
void openSelectedCourse() {
    if (!isPermittedCourse(gSelCourseId)) {
        MessageBoxAndWait("12001", 1, "OK", "0");
        keepOpenCourse(gCourseId);
        return;
    }
    gSelCourseName = GetCourseName(gSelCourseId);
    if (!CheckCourseVersion(gSelCourseId)) {
        // The download window may open another course (a nested opening)
        // before it closes; this opening then goes on with gSelCourseId.
        FormInstance<frmClassSelect>::unload();
        FormInstance<frmClassDownload>::get()->showModal();
        // A course that is not permitted got here only through a nested
        // opening, which has refused it and told the learner.
        if (!isPermittedCourse(gSelCourseId)) {
            keepOpenCourse(gCourseId);
            return;
        }
    }
    SetMainWindowEnabled(true);

    const QString openCourseId = gCourseId;
    const OpenCourseFacts openCourse = openCourseFacts();
    gCourseId = gSelCourseId;
    if (isServerEdition() && GetCourseInfo(gCourseId).left(3) == "ERR") {
        MessageBoxAndWait("2979", 1, "OK", "0");
        keepOpenCourse(openCourseId);
        return;
    }
    SetFile_IO(gSetupSetFile, "W", "lastCourse", gCourseId);

    if (isServerEdition()) {
        gServerCourseId = gCourseId;
        updateLocalProgress();
    } else {
        mainWindow()->SyncSchedule();
    }
    gStudyPageDirty = true;
    if (!mainWindow()->GetListTree()) {
        restoreOpenCourse(openCourse);
    }
    showOpenedCourse();
}

}  // namespace

void frmClassSelect::ReloadClass(const QString& pCourseId) {
    QString courseId = pCourseId;
    if (courseId.isEmpty()) {
        const int row = lstClass->currentRow();
        courseId = row >= 0 && row < lstClassName.size() ? lstClassName.at(row) : QString();
    }
    // Nothing picked: nothing to open.
    if (courseId.isEmpty()) {
        return;
    }
    SetMainWindowEnabled(false);
    mainWindow()->DisableAllButtonMenus(true);
    gSelCourseId = courseId;
    openSelectedCourse();
}

void frmClassSelect::UpdateLocalProgress() {
    updateLocalProgress();
}
