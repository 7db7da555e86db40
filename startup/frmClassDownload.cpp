#include "startup/frmClassDownload.h"

#include <QFile>
#include <QFont>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/skin.h"
#include "startup/clsRuv.h"
#include "startup/frmClassSelect.h"
#include "startup/modalshow.h"
#include "workspace/coursedescriptor.h"
#include "workspace/frmMain.h"
#include "workspace/stagedcourse.h"
#include "workspace/twipsgeometry.h"

using twipsgeometry::moveTwips;
using twipsgeometry::widthTwips;

namespace {

constexpr int kProgressFlashIntervalMs = 30;
constexpr int kProgressFlashStepTwips = 200;
constexpr int kDownloadAlpha = 180;
constexpr int kFillMarginTwips = 30;
constexpr int kPercent = 100;

const QRect kCaptionTwips(0, 0, 9600, 510);
const QRect kCaptionTextTwips(240, 0, 8400, 510);
const QRect kPageTwips(240, 660, 9120, 6600);
const QRect kPanelTwips(1800, 2850, 6000, 1650);
const QRect kPanelMessageTwips(300, 240, 5400, 390);
const QRect kBarTwips(1200, 840, 3000, 240);
const QRect kPercentTwips(4350, 780, 1200, 360);

// The id names a file and goes into an address: only letters, digits, "-"
// and "_" may do either.
bool isSafeCourseId(const QString& id) {
    static const QRegularExpression safe(QRegularExpression::anchoredPattern("[A-Za-z0-9_-]+"));
    return safe.match(id).hasMatch();
}

// The course id of a "cmd:" link; "" when there is nothing to download (the
// reinstall was declined, or the id cannot be used).
QString courseIdOfLink(frmClassDownload* window, const QString& url) {
    QString id;
    if (url.left(7) == "cmd:re:") {
        window->hide();
        const bool open = window->showMessageAndWait("2801", 2, "OK_CANCEL", "1");
        window->show();
        if (!open || gMsgResult != "OK") {
            return QString();
        }
        id = Trim(url.mid(7));
    } else {
        id = Trim(url.mid(4));
    }
    return isSafeCourseId(id) ? id : QString();
}

// The study plan of the course's descriptor, or none; what names a course
// whose package brings no descriptor.
KeptPlan planBeforeInstall(const QString& courseId) {
    KeptPlan plan{courseId, CourseDescriptor()};
    plan.lines.setLine(CourseDescriptor::kIdLine, courseId);
    plan.lines.setLine(CourseDescriptor::kNameLine, "Unknow");
    plan.lines.setLine(CourseDescriptor::kPlanNameLine, "NONE");
    plan.lines.setLine(CourseDescriptor::kDaysLine, "0");
    plan.lines.setLine(CourseDescriptor::kStartLine, "2000/1/1");
    plan.lines.setLine(CourseDescriptor::kEndLine, "2000/1/1");
    CourseDescriptor existing;
    if (existing.read(CourseDescriptor::pathOf(courseId))) {
        for (int line = CourseDescriptor::kPlanNameLine; line <= CourseDescriptor::kEndLine;
             ++line) {
            plan.lines.setLine(line, existing.line(line));
        }
    }
    return plan;
}

}  // namespace

frmClassDownload::frmClassDownload() : SkinnedDialog(false) {
    createControls();
}

frmClassDownload::~frmClassDownload() = default;

void frmClassDownload::createControls() {
    picCaption = new QLabel(picBG);
    moveTwips(picCaption, kCaptionTwips);
    lblCaption = newCaptionLabel(picCaption);
    moveTwips(lblCaption, kCaptionTextTwips);
    imgClose->raise();

    webMain = new Browser(picBG);
    moveTwips(webMain, kPageTwips);
    webMain->setBeforeNavigate2(
        [this](const QString& url, bool& cancel) { webMain_BeforeNavigate2(url, cancel); });

    createProgressPanel();
    tmrProgressFlash = new QTimer(this);
    tmrProgressFlash->setInterval(kProgressFlashIntervalMs);
    connect(tmrProgressFlash, &QTimer::timeout, this, &frmClassDownload::tmrProgressFlash_Timer);
}

void frmClassDownload::createProgressPanel() {
    picProgressPanel = new QWidget(picBG);
    moveTwips(picProgressPanel, kPanelTwips);
    picProgressPanel->setObjectName("picProgressPanel");
    picProgressPanel->setStyleSheet(
        "#picProgressPanel { background: white; border: 1px solid #2f5fa0; }");
    picProgressPanel->setAttribute(Qt::WA_StyledBackground);

    lblProgressMessage = new QLabel(picProgressPanel);
    moveTwips(lblProgressMessage, kPanelMessageTwips);
    lblProgressMessage->setFont(dialogFont(14));
    lblProgressMessage->setStyleSheet("color: #1d3557;");
    lblProgressMessage->setAlignment(Qt::AlignCenter);

    picProgress = new QLabel(picProgressPanel);
    moveTwips(picProgress, kBarTwips);
    picProgress->setPixmap(QPixmap(":/skin/progress-bg.png").scaled(picProgress->size()));
    picProgressInner = new QWidget(picProgress);
    picProgressInner->setGeometry(0, 0, 0, picProgress->height());
    picProgressInner->setStyleSheet("background: #4a86d2;");
    picProgressInner->setAttribute(Qt::WA_StyledBackground);
    imgProgressFlash = new QLabel(picProgress);
    imgProgressFlash->setPixmap(QPixmap(":/skin/progress-flash.png"));
    imgProgressFlash->resize(imgProgressFlash->pixmap().size());

    lblPercent = new QLabel(picProgressPanel);
    moveTwips(lblPercent, kPercentTwips);
    lblPercent->setFont(dialogFont(14, true));
    lblPercent->setStyleSheet("color: #1d3557;");
    picProgressPanel->hide();
}

void frmClassDownload::Form_Load() {
    setSkin(QPixmap(":/skin/download-bg.png"));
    startFadeIn();
    SetDefaultValue();
}

void frmClassDownload::showModal() {
    showModalAndWait(this);
}

void frmClassDownload::SetDefaultValue() {
    lblCaption->setText("請選取您所購買的課程");
    picProgressPanel->hide();
    webMain->Navigate2(DownloadPageUrl());
}

QString frmClassDownload::DownloadPageUrl() {
    return gServerURL + "lxv_download/default.asp?c=" + gInstalledCourses + "&app=" + gAppCode +
           "&regId=" + gPno + "&v=" + GetUniqueID();
}

// A successful download unloads this window; from the download on, only
// what the link named is used here. While a package is on its way, and
// while the window leaves (also during the install that follows a
// download), the page may still follow a link by script: it is ignored.
void frmClassDownload::webMain_BeforeNavigate2(const QString& URL, bool& Cancel) {
    if (URL.left(4) != "cmd:") {
        return;
    }
    Cancel = true;
    if (tmpDownloadClass || isLeaving()) {
        return;
    }
    const QString courseId = courseIdOfLink(this, URL);
    if (courseId.isEmpty()) {
        return;
    }
    const QString packageUrl = gServerURL + "lxv_download/" + courseId + ".giz";
    const QString localFile = gBasePath + "/" + courseId + ".giz";
    // Closed while a failed download is told, the window has shown the
    // picker on its way out already. A package that arrived but could not be
    // saved asks for a data folder that can be written, not for the network.
    if (!StartDownloadProc(packageUrl, localFile, planBeforeInstall(courseId)) &&
        !showMessageAndWait(mPackageNotSaved ? "29981" : "2802", 1, "OK", "1")) {
        return;
    }
    FormInstance<frmClassSelect>::get()->showModal();
}

// Only the package being fetched is replaced: other packages in the folder
// are the learner's.
bool frmClassDownload::StartDownloadProc(const QString& pUrlFile, const QString& pLocalFile,
                                         const KeptPlan& pKeptPlan) {
    QFile::remove(pLocalFile);
    tmpDownloadClass = std::make_unique<clsRuv>();
    connect(tmpDownloadClass.get(), &clsRuv::RuvDLProg, this,
            &frmClassDownload::tmpDownloadClass_RuvDLProg);
    // Every download that fails reports its crash, which says why.
    connect(tmpDownloadClass.get(), &clsRuv::RuvDLCrash, this,
            [this](qint32 RuvErrNum) { mPackageNotSaved = RuvErrNum == clsRuv::kCannotSaveFile; });
    setEnabled(false);
    SetFormTransparent(this, kDownloadAlpha);
    showProgressPanel();

    QString cacheEntry = pUrlFile;
    tmpDownloadClass->DeleteRuvCache(cacheEntry);
    const bool arrived =
        tmpDownloadClass->StartTheStinkinDownLoad(pUrlFile, pLocalFile).value_or(false);
    if (!arrived) {
        QFile::remove(pLocalFile);
    }

    doEvents();
    hideProgressPanel();
    tmpDownloadClass.reset();
    setEnabled(true);
    if (arrived) {
        FormInstance<frmClassDownload>::unload();
        FormInstance<frmMain>::get()->InstallCourseProc(pLocalFile, &pKeptPlan);
    }
    return arrived;
}

void frmClassDownload::showProgressPanel() {
    picProgressPanel->show();
    picProgressPanel->raise();
    lblProgressMessage->setText("正在下載課程安裝檔中...請稍候");
    lblPercent->setText("0%");
    doEvents();
    picProgressInner->show();
    tmrProgressFlash->start();
    picProgressInner->resize(twipsToPixels(1), picProgressInner->height());
}

void frmClassDownload::hideProgressPanel() {
    tmrProgressFlash->stop();
    setFlashLeftTwips(-widthTwips(imgProgressFlash));
    doEvents();
    picProgressPanel->hide();
}

// A size that does not fit the bar (none yet, or more than the total) shows
// nothing.
void frmClassDownload::tmpDownloadClass_RuvDLProg(qint32 RuvBytesIn, qint32 RuvTotalBytes) {
    if (RuvBytesIn < 0 || RuvTotalBytes <= 0 || RuvBytesIn > RuvTotalBytes) {
        return;
    }
    const qint64 percent = RoundHalfEven(double(RuvBytesIn) / RuvTotalBytes * kPercent);
    const int barTwips = widthTwips(picProgress);
    const qint64 fillTwips = std::min<qint64>(
        RoundHalfEven(double(barTwips) / RuvTotalBytes * RuvBytesIn), barTwips - kFillMarginTwips);
    picProgressInner->resize(twipsToPixels(int(fillTwips)), picProgressInner->height());
    lblPercent->setText(QString::number(percent) + "%");
    doEvents();
}

void frmClassDownload::tmrProgressFlash_Timer() {
    int left = mFlashLeftTwips + kProgressFlashStepTwips;
    if (left >= widthTwips(picProgress)) {
        left = -widthTwips(imgProgressFlash);
    }
    setFlashLeftTwips(left);
}

void frmClassDownload::setFlashLeftTwips(int pLeftTwips) {
    mFlashLeftTwips = pLeftTwips;
    imgProgressFlash->move(twipsToPixels(pLeftTwips), imgProgressFlash->y());
}

void frmClassDownload::unloadForm() {
    FormInstance<frmClassDownload>::unload();
    FormInstance<frmClassSelect>::get()->showModal();
}
