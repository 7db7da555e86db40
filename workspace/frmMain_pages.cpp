#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "shared/settingsfiles.h"
#include "workspace/errorstatisticspage.h"
#include "workspace/frmMain.h"
#include "workspace/pagetext.h"
#include "workspace/studyprogresspage.h"

namespace {

// The please-wait box of a page builder, closed on every way out of it. The
// build pumps events under it: the main window stays held meanwhile, so that
// no other course is opened and no other page built while this one reads
// the open course.
class PleaseWait {
public:
    PleaseWait() {
        FormInstance<frmMessage>::get()->ProgressMsgBox("3000", 0, QString(), "0");
        doEvents();
    }
    ~PleaseWait() { close(); }
    PleaseWait(const PleaseWait&) = delete;
    PleaseWait& operator=(const PleaseWait&) = delete;

    void close() {
        if (mOpen) {
            FormInstance<frmMessage>::unload();
            mOpen = false;
        }
    }

private:
    const MainWindowHold mWhileBuilding;
    bool mOpen = true;
};

void showErrorStatistics(Browser* webMain, ErrorStatisticsPage::Counts counts) {
    PleaseWait pleaseWait;
    webMain->Navigate2("about:blank");
    const QString page = ErrorStatisticsPage(counts, ProgramFolder() + "/ui").build();
    webMain->writeDocument(page);
    webMain->reload();
}

QString manualFolder() {
    return gBasePath + "/Lexivo2/" + gHtmlFolderName;
}

QString studyPagePath() {
    return manualFolder() + "/study.htm";
}

// Its day counts hold for the day it was built only.
bool studyPageIsCurrent() {
    const QFileInfo page(studyPagePath());
    return !gStudyPageDirty && page.exists() && page.lastModified().date() == QDate::currentDate();
}

void reportStudyPageFailure(PleaseWait& pleaseWait, const QString& messageId) {
    pleaseWait.close();
    gStudyPageDirty = true;
    MessageBoxAndWait(messageId, 1, "OK", "0");
}

bool rebuildStudyPage() {
    PleaseWait pleaseWait;
    bool readable = false;
    const QString templateText = ReadTextFile2(manualFolder() + "/study.tmp.htm", &readable);
    doEvents();
    if (!readable) {
        qWarning("The study page template could not be read");
        reportStudyPageFailure(pleaseWait, "2998");
        return false;
    }
    const StudyProgressPage::Plan plan{gScheduleType, gScheduleDays, gScheduleStart, gScheduleEnd};
    const QString page = StudyProgressPage(plan, QDateTime::currentDateTime()).fill(templateText);
    // A page that cannot be written asks for a data folder that can be, not
    // for the program again.
    if (!big5::writeFile(studyPagePath(), page)) {
        qWarning("The study page could not be written");
        reportStudyPageFailure(pleaseWait, "29981");
        return false;
    }
    doEvents();
    return true;
}

}  // namespace

void frmMain::GetHtmlListAllErrType() {
    showErrorStatistics(webMain, ErrorStatisticsPage::Counts::WrongSentences);
}

void frmMain::GetHtmlListAllErrTypeLXQ() {
    showErrorStatistics(webMain, ErrorStatisticsPage::Counts::Mistakes);
}

void frmMain::CalcProgressPage() {
    if (!studyPageIsCurrent() && !rebuildStudyPage()) {
        return;
    }
    gStudyPageDirty = false;
    webMain->Navigate2(QUrl::fromLocalFile(studyPagePath()).toString());
}

// The service builds the page; a fresh tid keeps the browser from showing a
// copy of an earlier one.
void frmMain::CalcProgressPageLXQ() {
    PleaseWait pleaseWait;
    webMain->Navigate2(gServerURL + "p_getcalcprogress.asp" + "?key=quillmarrowed" +
                       "&regid=" + pagetext::queryValue(gPno) + "&courseid=" +
                       pagetext::queryValue(gServerCourseId) + "&tid=" + GetUniqueID());
    doEvents();
}
