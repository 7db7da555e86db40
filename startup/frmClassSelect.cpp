#include "startup/frmClassSelect.h"

#include <QDir>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/forminstance.h"
#include "shared/coursepaths.h"
#include "shared/dialogstyle.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "startup/frmClassDownload.h"
#include "startup/modalshow.h"
#include "workspace/coursedescriptor.h"

namespace {

// The window is 7200 x 5400 twips: caption band on top, the prompt, the
// list, and the two buttons below the separator line.
const QRect kCaptionTwips(240, 0, 6600, 510);
const QRect kMessageTwips(360, 690, 6480, 420);
const QRect kListTwips(360, 1170, 6480, 3150);
const QRect kLoadButtonTwips(1050, 4725, 2400, 480);
const QRect kDownloadButtonTwips(3750, 4725, 2400, 480);

const QString kButtonStyle =
    dialogButtonStyle() +
    QStringLiteral(
        "QPushButton:disabled { color: #9aa8b8; border-color: #c3d0de; background: #eef2f6; }");

const QString kListStyle = QStringLiteral(
    "QListWidget { color: #1d3557; background: white; border: 1px solid #7fa4cf; }"
    "QListWidget::item { padding: 4px; }"
    "QListWidget::item:selected { color: white; background: #2f6fb5; }");

// The picker's line for a course: in LXV its study plan follows the name.
// The plan's lines are only shown, so they are shown as they stand, also a
// day count or a date that cannot be read.
QString displayLine(const CourseDescriptor& descriptor) {
    const QString name = descriptor.line(CourseDescriptor::kNameLine);
    if (gEdition != "LXV") {
        return name;
    }
    const QString plan = descriptor.line(CourseDescriptor::kPlanNameLine);
    if (plan == "NONE" || plan.isEmpty()) {
        return name + "《未設定進度計劃》";
    }
    return name + "《" + plan + "(" + descriptor.line(CourseDescriptor::kDaysLine) + "日)" + "：" +
           descriptor.line(CourseDescriptor::kStartLine) + "～" +
           descriptor.line(CourseDescriptor::kEndLine) + "》";
}

}  // namespace

frmClassSelect::frmClassSelect() : SkinnedDialog(false) {
    createControls();
}

void frmClassSelect::createControls() {
    picCaption = new QLabel(picBG);
    picCaption->setGeometry(pixelsOf(kCaptionTwips));
    lblCaption = newCaptionLabel(picCaption);
    lblCaption->setGeometry(picCaption->rect());

    lblMessage = new QLabel(picBG);
    lblMessage->setGeometry(pixelsOf(kMessageTwips));
    lblMessage->setFont(dialogFont(14, false));
    lblMessage->setStyleSheet("color: #1d3557;");

    lstClass = new QListWidget(picBG);
    lstClass->setGeometry(pixelsOf(kListTwips));
    lstClass->setFont(dialogFont(14, false));
    lstClass->setStyleSheet(kListStyle);
    lstClass->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdLoad = new QPushButton(picBG);
    cmdLoad->setGeometry(pixelsOf(kLoadButtonTwips));
    cmdDownload = new QPushButton(picBG);
    cmdDownload->setGeometry(pixelsOf(kDownloadButtonTwips));
    for (QPushButton* button : {cmdLoad, cmdDownload}) {
        button->setFont(dialogFont(14, false));
        button->setStyleSheet(kButtonStyle);
        button->setCursor(Qt::PointingHandCursor);
    }
    connect(cmdLoad, &QPushButton::clicked, this, &frmClassSelect::cmdLoad_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmClassSelect::cmdDownload_Click);
}

void frmClassSelect::Form_Load() {
    setSkin(QPixmap(":/skin/classselect-bg.png"));
    startFadeIn();
    SetDefaultValue();
}

// Every showing lists what the product folder holds now, e.g. a course that
// was installed since the last time.
void frmClassSelect::Form_Activate() {
    SetDefaultValue();
}

void frmClassSelect::showModal() {
    Form_Activate();
    showModalAndWait(this);
}

void frmClassSelect::SetDefaultValue() {
    lblCaption->setText("載入已安裝的課程");
    lblMessage->setText("以下是您目前已安裝的課程，請您選擇要載入的課程");
    cmdLoad->setText("載入所選擇的課程");
    cmdDownload->setText("下載其他課程");

    lstClass->clear();
    lstClassName.clear();
    gInstalledCourses.clear();

    const QDir folder(ProductFolder());
    const QStringList descriptors =
        folder.entryList({"*.lxs"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& fileName : descriptors) {
        addInstalledCourse(folder.path(), fileName);
    }

    if (lstClass->count() > 0) {
        lstClass->setCurrentRow(0);
        cmdLoad->setEnabled(true);
        return;
    }
    // Only the refresh that finds the list newly empty says so.
    if (cmdLoad->isEnabled()) {
        MessageBoxAndWait("2982", 1, "OK", "1");
    }
    cmdLoad->setEnabled(false);
}

void frmClassSelect::addInstalledCourse(const QString& pFolder, const QString& pFileName) {
    const QString courseId = pFileName.toUpper().remove(".LXS");
    CourseDescriptor descriptor;
    if (!descriptor.read(pFolder + "/" + pFileName) || !descriptor.isComplete()) {
        return;
    }
    const QString courseFolder = CourseFolder(courseId);
    if (!FolderExists(courseFolder) || !FileExists(courseFolder + "/LexivoData.mdb")) {
        return;
    }
    gInstalledCourses += courseId + ",";
    lstClass->addItem(displayLine(descriptor));
    lstClassName.append(courseId);
}

void frmClassSelect::cmdLoad_Click() {
    const int row = lstClass->currentRow();
    if (row < 0 || row >= lstClassName.size()) {
        return;
    }
    hide();
    gSelCourseId = lstClassName.at(row);
    ReloadClass(QString());
    // The opening may have unloaded the picker: only the main window is
    // touched from here on.
    SetMainWindowEnabled(true);
}

void frmClassSelect::cmdDownload_Click() {
    FormInstance<frmClassSelect>::unload();
    FormInstance<frmClassDownload>::get()->showModal();
}

void frmClassSelect::unloadForm() {
    FormInstance<frmClassSelect>::unload();
}
