#include "startup/frmSchedule.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/forminstance.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "workspace/coursedescriptor.h"
#include "workspace/studyplan.h"
#include "workspace/studyprogresspage.h"
#include "workspace/twipsgeometry.h"

using namespace twipsgeometry;

namespace {

constexpr int kPlanCount = 5;
constexpr int kCustomPlan = 4;
constexpr std::array<int, 4> kNamedPlanDays{20, 40, 60, 80};
// A plan shorter than this is refused.
constexpr int kMinCustomDays = 6;
// The plan length stays a 16-bit count of days.
constexpr int kMaxPlanDays = 32767;
constexpr int kDayBoxLength = 3;

// The dialog is 9000 x 6750 twips: caption band, plan period, the five plan
// pictures with their marks above them, the day boxes, notes and status.
constexpr int kPlanLeft = 360;
constexpr int kPlanStep = 1680;
constexpr int kPlanTop = 1650;
constexpr int kPlanWidth = 1500;
constexpr int kPlanHeight = 1800;
constexpr int kMarkTop = 1170;
constexpr int kMarkSize = 420;
constexpr int kMemoTop = 4830;
constexpr int kMemoStep = 300;

const QString kButtonStyle =
    dialogButtonStyle() +
    QStringLiteral(
        "QPushButton:disabled { color: #9aa8b8; border-color: #c3d0de; background: #eef2f6; }");

const QString kHandHotSpotPicture = QStringLiteral(":/skin/hand.png");

QLabel* newLabel(QWidget* parent, int pixelSize, bool bold = false) {
    auto* label = new QLabel(parent);
    label->setFont(dialogFont(pixelSize, bold));
    label->setStyleSheet("color: #1d3557;");
    return label;
}

QCursor handCursor() {
    return QCursor(QPixmap(kHandHotSpotPicture), 10, 1);
}

QString planName(int index) {
    return CourseDescriptor::planNameForDays(index < kCustomPlan ? kNamedPlanDays.at(index) : 0);
}

// Only digits and Backspace reach a day box.
bool isDayBoxKey(const QKeyEvent* key) {
    if (key->text().isEmpty()) {
        return true;
    }
    const QChar typed = key->text().at(0);
    return (typed >= '0' && typed <= '9') || typed == QChar(8);
}

// A day box's number; a text that is no whole number (pasted into the box)
// is none.
bool readDays(const QLineEdit* box, int* days) {
    return CourseDescriptor::readWholeNumber(box->text(), days);
}

}  // namespace

frmSchedule::frmSchedule() : SkinnedDialog(true) {
    createControls();
}

void frmSchedule::createControls() {
    imgClock = QPixmap(":/skin/schedule-clock.png");
    picCaption = new QLabel(picBG);
    moveTwips(picCaption, 240, 0, 7200, 540);
    lblCaption = newCaptionLabel(picCaption);
    lblCaption->setGeometry(picCaption->rect());
    lblSchedule = newLabel(picBG, 14, true);
    moveTwips(lblSchedule, 360, 720, 8280, 420);
    createPlanPictures();
    createDayBoxes();
    createNotes();
}

void frmSchedule::createPlanPictures() {
    for (int i = 0; i < kPlanCount; ++i) {
        picSchedule[i] = new QLabel(picBG);
        picSchedule[i]->setPixmap(QPixmap(QString(":/skin/schedule-plan-%1.png").arg(i)));
        moveTwips(picSchedule[i], kPlanLeft + i * kPlanStep, kPlanTop, kPlanWidth, kPlanHeight);
        picSchedule[i]->setAlignment(Qt::AlignCenter);
        picSchedule[i]->setMouseTracking(true);
        picSchedule[i]->installEventFilter(this);
        imgSelect[i] = new QLabel(picBG);
        moveTwips(imgSelect[i], kPlanLeft + i * kPlanStep + (kPlanWidth - kMarkSize) / 2, kMarkTop,
                  kMarkSize, kMarkSize);
    }
}

void frmSchedule::createDayBoxes() {
    const std::array<QRect, 4> labelPlaces{QRect(5280, 3570, 1290, 360),
                                           QRect(7290, 3570, 1050, 360), QRect(360, 4260, 840, 360),
                                           QRect(1950, 4260, 300, 360)};
    for (int i = 0; i < int(lblS.size()); ++i) {
        lblS[i] = newLabel(picBG, 14);
        const QRect& place = labelPlaces.at(i);
        moveTwips(lblS[i], place.x(), place.y(), place.width(), place.height());
    }
    lblS[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtLimitDays = new QLineEdit(picBG);
    moveTwips(txtLimitDays, 6630, 3540, 600, 390);
    txtExtendDays = new QLineEdit(picBG);
    moveTwips(txtExtendDays, 1230, 4230, 660, 390);
    for (QLineEdit* box : {txtLimitDays, txtExtendDays}) {
        box->setMaxLength(kDayBoxLength);
        box->setFont(dialogFont(14, false));
        box->installEventFilter(this);
    }
    cmdExtend = new QPushButton(picBG);
    moveTwips(cmdExtend, 2340, 4200, 1200, 450);
    cmdOK = new QPushButton(picBG);
    moveTwips(cmdOK, 7140, 4200, 1500, 450);
    for (QPushButton* button : {cmdExtend, cmdOK}) {
        button->setFont(dialogFont(14, false));
        button->setStyleSheet(kButtonStyle);
    }
    connect(cmdOK, &QPushButton::clicked, this, &frmSchedule::cmdOK_Click);
    connect(cmdExtend, &QPushButton::clicked, this, &frmSchedule::cmdExtend_Click);
}

void frmSchedule::createNotes() {
    for (int i = 0; i < int(lblMemos.size()); ++i) {
        lblMemos[i] = newLabel(picBG, 12);
        moveTwips(lblMemos[i], 360, kMemoTop + i * kMemoStep, 8280, kMemoStep);
    }
    lblStatus = newLabel(picBG, 14, true);
    moveTwips(lblStatus, 360, 6060, 8280, 480);
}

void frmSchedule::Form_Load() {
    HoldMainWindow(this);
    setSkin(QPixmap(":/skin/schedule-bg.png"));
    for (QLabel* picture : picSchedule) {
        picture->setCursor(handCursor());
    }
    startFadeIn();
    SetDefaultValue();
}

void frmSchedule::Form_Activate() {
    HoldMainWindow(this);
}

void frmSchedule::SetDefaultValue() {
    lblCaption->setText("進度計劃");
    if (studyplan::hasPlan()) {
        lblSchedule->setText("起迄日期:【" + GetDateString(gScheduleStart, "/") + "】至【" +
                             GetDateString(gScheduleEnd, "/") + "】共" +
                             QString::number(gScheduleDays) + "天");
    } else {
        lblSchedule->setText("請您在下方選擇一項本課程的進度計劃");
        gScheduleStart = QDate::currentDate();
    }
    cmdOK->setText("確認");
    cmdExtend->setText("延長");
    lblMemos[0]->setText("備註:");
    lblMemos[1]->setText("1.系統第一次啟動，預設進度計劃之起始日為當日。");
    lblMemos[2]->setText("2.當您執行﹝清空學習記錄﹞作業，將自動重新起算進度計劃之起始日期");
    lblS[0]->setText("自訂期限");
    lblS[1]->setText("日完成");
    lblS[2]->setText("往後延");
    lblS[3]->setText("天");
    lblStatus->clear();
    picButtonsResetImage();
    for (QLabel* mark : imgSelect) {
        mark->clear();
    }
    const bool planned = studyplan::hasPlan();
    for (QWidget* control : {static_cast<QWidget*>(cmdOK), static_cast<QWidget*>(txtExtendDays),
                             static_cast<QWidget*>(cmdExtend)}) {
        control->setEnabled(planned);
    }
    if (planned) {
        markCurrentPlan();
        lblStatus->setText(statusText());
    }
}

void frmSchedule::markCurrentPlan() {
    const auto named = std::find(kNamedPlanDays.begin(), kNamedPlanDays.end(), gScheduleDays);
    if (named != kNamedPlanDays.end()) {
        imgSelect[int(named - kNamedPlanDays.begin())]->setPixmap(imgClock);
        txtLimitDays->clear();
        return;
    }
    imgSelect[kCustomPlan]->setPixmap(imgClock);
    txtLimitDays->setText(QString::number(gScheduleDays));
}

QString frmSchedule::statusText() const {
    const StudyProgressPage::Counts questions = StudyProgressPage::questionCounts();
    const qint64 daysLeft = QDate::currentDate().daysTo(gScheduleEnd);
    const QString middle = daysLeft < 0 ? "已超過 " + QString::number(-daysLeft) + " 日"
                                        : "餘 " + QString::number(daysLeft) + " 日";
    return "依進度，目前" + middle + "，尚有 " +
           QString::number(questions.total() - questions.finished) + " 題未完成";
}

void frmSchedule::showDialog() {
    show();
    raise();
    activateWindow();
    Form_Activate();
}

void frmSchedule::showAgain(QLineEdit* focus) {
    showDialog();
    if (focus) {
        focus->setFocus();
    }
}

// The own plan's length, or a message and false.
bool frmSchedule::readLimitDays(int* days) {
    if (Trim(txtLimitDays->text()).isEmpty() || !readDays(txtLimitDays, days)) {
        showMessageAndWait("2987", 0, "OK", "0");
        showAgain(txtLimitDays);
        return false;
    }
    if (*days < kMinCustomDays) {
        showMessageAndWait("2988", 0, "OK", "0");
        showAgain(txtLimitDays);
        return false;
    }
    return true;
}

void frmSchedule::picSchedule_Click(int Index) {
    hide();
    int days = Index < kCustomPlan ? kNamedPlanDays.at(Index) : 0;
    if (Index == kCustomPlan && !readLimitDays(&days)) {
        return;
    }
    gScheduleEndPreview = gScheduleStart.addDays(days);
    const bool open = showMessageAndWait("2990", 2, "OK_CANCEL", "2");
    if (!open || gMsgResult != "OK") {
        showAgain();
        return;
    }
    const studyplan::Plan former = studyplan::current();
    gScheduleType = planName(Index);
    gScheduleDays = days;
    gScheduleEnd = gScheduleStart.addDays(gScheduleDays);
    if (!storePlan(former)) {
        return;
    }
    cmdOK->setEnabled(true);
    // The plan is stored: it is sent even when the dialog is closed while
    // the learner reads that it was taken.
    showMessageAndWait("2989", 0, "OK", "0");
    sendPlanAndClose();
}

void frmSchedule::cmdExtend_Click() {
    int days = 0;
    if (!readDays(txtExtendDays, &days) || days < 1) {
        return;
    }
    if (gScheduleStart.daysTo(gScheduleEnd) + days > kMaxPlanDays) {
        showMessageAndWait("29872", 1, "OK", "0");
        return;
    }
    gMsgParam = GetDateString(gScheduleEnd.addDays(days), "/");
    const bool open = showMessageAndWait("29871", 2, "YES_NO", "2");
    if (!open || gMsgResult != "YES") {
        return;
    }
    const studyplan::Plan former = studyplan::current();
    gScheduleEnd = gScheduleEnd.addDays(days);
    gScheduleDays = int(gScheduleStart.daysTo(gScheduleEnd));
    if (storePlan(former)) {
        sendPlanAndClose();
    }
}

void frmSchedule::cmdOK_Click() {
    if (storePlan(studyplan::current())) {
        sendPlanAndClose();
    }
}

// The service gets no plan that the descriptor does not hold: a plan that
// cannot be written goes back to the former one, and the dialog stays. A
// written plan is the newest until the service has it, also when the
// program ends before it is sent (while its message is read).
bool frmSchedule::storePlan(const studyplan::Plan& former) {
    if (studyplan::writeDescriptor(false)) {
        studyplan::keepUnsent();
        return true;
    }
    studyplan::restore(former);
    if (showMessageAndWait("29973", 1, "OK", "0")) {
        showAgain();
    }
    return false;
}

void frmSchedule::sendPlanAndClose() {
    studyplan::sendToService();
    gStudyPageDirty = true;
    imgClose_Click();
}

void frmSchedule::imgClose_Click() {
    mClosing = true;
    startFadeOut();
    ReleaseMainWindow(this);
}

void frmSchedule::picSchedule_MouseMove(int Index) {
    if (picSchedule[Index]->frameShape() != QFrame::NoFrame) {
        return;
    }
    picButtonsResetImage();
    picSchedule[Index]->setFrameStyle(QFrame::Box | QFrame::Plain);
    picSchedule[Index]->setLineWidth(1);
}

void frmSchedule::picButtonsResetImage() {
    SkinnedDialog::picButtonsResetImage();
    for (QLabel* picture : picSchedule) {
        picture->setFrameStyle(QFrame::NoFrame);
    }
}

bool frmSchedule::eventFilter(QObject* watched, QEvent* event) {
    const int plan =
        int(std::find(picSchedule.begin(), picSchedule.end(), watched) - picSchedule.begin());
    if (plan < kPlanCount) {
        if (event->type() == QEvent::MouseMove) {
            picSchedule_MouseMove(plan);
            return true;
        }
        if (event->type() != QEvent::MouseButtonRelease) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            picSchedule[plan]->rect().contains(mouse->position().toPoint())) {
            picSchedule_Click(plan);
            return true;
        }
        return false;
    }
    if ((watched == txtLimitDays || watched == txtExtendDays) &&
        event->type() == QEvent::KeyPress) {
        return !isDayBoxKey(static_cast<QKeyEvent*>(event));
    }
    if (watched == picBG && event->type() == QEvent::MouseMove) {
        picButtonsResetImage();
    }
    return SkinnedDialog::eventFilter(watched, event);
}

bool frmSchedule::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !mClosing) {
        Form_Activate();
    }
    return SkinnedDialog::event(event);
}

void frmSchedule::unloadForm() {
    FormInstance<frmSchedule>::unload();
}
