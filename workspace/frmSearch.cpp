#include "workspace/frmSearch.h"

#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "shared/descramble.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "shared/progressflash.h"
#include "workspace/frmMain.h"

namespace {

const QString kQuizPrefix = QStringLiteral("QUIZ_");

// The window is 5400 x 3600 twips: the caption band, the phrase and the
// direction, the result line with the moving bar, and the buttons below the
// separator line.
const QRect kCaptionTwips(240, 0, 4800, 510);
const QRect kTextLabelTwips(300, 780, 1050, 330);
const QRect kTextTwips(1425, 720, 3600, 390);
const QRect kDirectionLabelTwips(300, 1290, 1050, 330);
const QRect kOptionTwips(1425, 1230, 3600, 420);
const QRect kUpOptionTwips(0, 60, 300, 300);
const QRect kUpLabelTwips(330, 45, 600, 330);
const QRect kDownOptionTwips(1200, 60, 300, 300);
const QRect kDownLabelTwips(1530, 45, 600, 330);
const QRect kMessageTwips(300, 1800, 4800, 330);
const QRect kProgressTwips(600, 2220, 4200, 240);
const QRect kSearchButtonTwips(450, 2760, 1350, 450);
const QRect kClearButtonTwips(2025, 2760, 1350, 450);
const QRect kCancelButtonTwips(3600, 2760, 1350, 450);

const QColor kSearchingColour(0, 0, 255);
const QColor kNotFoundColour(255, 0, 0);

const QString kButtonStyle =
    dialogButtonStyle() +
    QStringLiteral(
        "QPushButton:disabled { color: #9aa8b8; border-color: #c3d0de; background: #eef2f6; }");

QLabel* createLabel(QWidget* parent, const QRect& twips) {
    auto* label = new QLabel(parent);
    label->setGeometry(pixelsOf(twips));
    label->setFont(dialogFont(14, false));
    label->setStyleSheet("color: #1d3557;");
    return label;
}

// A line as the learner reads it: the stored text descrambled, or as stored
// when it does not descramble to anything but blanks.
QString readableLine(const QString& stored) {
    const QString text = Trim(stored);
    const QString decoded = DecodeMdbString(text);
    return Trim(decoded).isEmpty() ? text : decoded;
}

// The question's text is stored scrambled, so the phrase is looked for in
// the descrambled lines, with the wildcards of the LIKE pattern.
bool questionContains(const QString& code, const QString& text) {
    db::Recordset lines("select Q1 from bswqcont where QCODE = '" + SqlText(code) + "' ",
                        gCourseConnStr);
    QStringList rows;
    for (; !lines.eof(); lines.moveNext()) {
        rows.append("select '" + SqlText(readableLine(lines.text("Q1"))) + "' as Q1");
    }
    if (rows.isEmpty()) {
        return false;
    }
    return GetSqlCount("select count(*) from (" + rows.join(" union all ") + ") where Q1 like '%" +
                           SqlText(text) + "%' ",
                       gCourseConnStr) > 0;
}

}  // namespace

frmSearch::frmSearch() : SkinnedDialog(true, &gSearchOpen) {
    createControls();
}

void frmSearch::createControls() {
    picCaption = new QLabel(picBG);
    picCaption->setGeometry(pixelsOf(kCaptionTwips));
    picCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblCaption = newCaptionLabel(picCaption);
    lblCaption->setGeometry(picCaption->rect());

    lblS[0] = createLabel(picBG, kTextLabelTwips);
    lblS[1] = createLabel(picBG, kDirectionLabelTwips);
    txtSearch = new QLineEdit(picBG);
    txtSearch->setGeometry(pixelsOf(kTextTwips));
    txtSearch->setFont(dialogFont(14, false));
    txtSearch->installEventFilter(this);
    lblMessage = createLabel(picBG, kMessageTwips);
    // Its colour says whether it is searching or found nothing.
    lblMessage->setStyleSheet(QString());

    createDirectionOptions();
    createButtons();
    createProgressBar();
}

void frmSearch::createDirectionOptions() {
    picOption = new QWidget(picBG);
    picOption->setGeometry(pixelsOf(kOptionTwips));
    const std::array<QRect, 2> options{kUpOptionTwips, kDownOptionTwips};
    const std::array<QRect, 2> labels{kUpLabelTwips, kDownLabelTwips};
    for (int i : {kUp, kDown}) {
        optDirect[i] = new QRadioButton(picOption);
        optDirect[i]->setGeometry(pixelsOf(options[i]));
        lblDirect[i] = createLabel(picOption, labels[i]);
        lblDirect[i]->setCursor(Qt::PointingHandCursor);
        lblDirect[i]->installEventFilter(this);
    }
}

void frmSearch::createButtons() {
    cmdSearch = new QPushButton(picBG);
    cmdSearch->setGeometry(pixelsOf(kSearchButtonTwips));
    cmdClear = new QPushButton(picBG);
    cmdClear->setGeometry(pixelsOf(kClearButtonTwips));
    cmdCancel = new QPushButton(picBG);
    cmdCancel->setGeometry(pixelsOf(kCancelButtonTwips));
    for (QPushButton* button : {cmdSearch, cmdClear, cmdCancel}) {
        button->setFont(dialogFont(14, false));
        button->setStyleSheet(kButtonStyle);
        button->setCursor(Qt::PointingHandCursor);
        button->setAutoDefault(false);
    }
    connect(cmdSearch, &QPushButton::clicked, this, &frmSearch::cmdSearch_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmSearch::cmdClear_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSearch::cmdCancel_Click);
}

void frmSearch::createProgressBar() {
    mProgressFlash = createProgressFlash(picBG, kProgressTwips);
    picProgress = mProgressFlash.frame;
    picProgressInner = mProgressFlash.inner;
    imgProgressFlash = mProgressFlash.flash;
    tmrProgressFlash = mProgressFlash.timer;
    connect(tmrProgressFlash, &QTimer::timeout, this, &frmSearch::tmrProgressFlash_Timer);
}

void frmSearch::Form_Load() {
    setSkin(QPixmap(":/skin/search-bg.png"));
    imgClose->raise();
    startFadeIn(true);
    SetDefaultValue();
    optDirect[kDown]->setChecked(true);
}

void frmSearch::SetDefaultValue() {
    lblCaption->setText("題目搜尋");
    lblS[0]->setText("尋找目標");
    lblS[1]->setText("搜尋方向");
    lblDirect[kUp]->setText("向上");
    lblDirect[kDown]->setText("向下");
    cmdSearch->setText("找下一個");
    cmdClear->setText("清除");
    cmdCancel->setText("取消");
    lblMessage->clear();
}

void frmSearch::changeEvent(QEvent* event) {
    SkinnedDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

void frmSearch::Form_Activate() {
    txtSearch->setFocus();
}

void frmSearch::cmdSearch_Click() {
    const QString text = Trim(txtSearch->text());
    if (text.isEmpty() || !FormInstance<frmMain>::isLoaded()) {
        return;
    }
    const QPointer<frmMain> main(FormInstance<frmMain>::get());
    // The main window comes back on every way out of the search, also when
    // this window was closed during it, unless other work still holds it.
    const MainWindowHold whileSearching;
    setSearching(true);
    const bool found = findQuestion(main, text);
    if (isLeaving()) {
        return;
    }
    setSearching(false);
    if (found) {
        lblMessage->clear();
    } else {
        showMessage("沒有找到符合內容", kNotFoundColour);
    }
}

void frmSearch::setSearching(bool searching) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{cmdSearch, cmdClear, cmdCancel, txtSearch, picOption}) {
        control->setEnabled(!searching);
    }
    if (searching) {
        showMessage("正在搜尋符合的內容", kSearchingColour);
        picProgress->show();
        tmrProgressFlash->start();
    } else {
        tmrProgressFlash->stop();
        picProgress->hide();
        // Disabling the box took the focus from it, and the node click could
        // not give it back: Enter goes on to the next question.
        txtSearch->setFocus();
    }
    doEvents();
}

// Walks the tree in the order its nodes were added, from the node next to
// the selected one, without wrapping round. Events run between questions:
// the windows may be gone, or the tree changed, when they return.
bool frmSearch::findQuestion(const QPointer<frmMain>& main, const QString& text) {
    const bool up = optDirect[kUp]->isChecked();
    const TreeNode* selected = main->treMain->selectedItem();
    int i = selected ? selected->index() : (up ? main->treMain->count() + 1 : 0);
    while (true) {
        i += up ? -1 : 1;
        if (isLeaving() || !main || i < 1 || i > main->treMain->count()) {
            return false;
        }
        const QString key = main->treMain->nodeByIndex(i)->key();
        if (key.left(4) != "QUIZ") {
            continue;
        }
        doEvents();
        if (isLeaving() || !main) {
            return false;
        }
        TreeNode* node = main->treMain->nodeByIndex(i);
        if (node && node->key() == key && questionContains(key.mid(kQuizPrefix.size()), text)) {
            main->treMain->setSelected(node);
            main->treMain_NodeClick(node);
            doEvents();
            return true;
        }
        doEvents();
    }
}

void frmSearch::showMessage(const QString& text, const QColor& colour) {
    QPalette palette = lblMessage->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblMessage->setPalette(palette);
    lblMessage->setText(text);
}

void frmSearch::txtSearch_KeyPress(int KeyAscii) {
    lblMessage->clear();
    if (KeyAscii == 13) {
        cmdSearch_Click();
    }
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event) {
    // Only keys that type a character are key presses: Shift, Ctrl or an
    // arrow leave the result text.
    if (watched == txtSearch && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter && key->text().isEmpty()) {
            return false;
        }
        txtSearch_KeyPress(enter ? 13 : key->text().at(0).unicode());
        return enter;
    }
    // Text that an input method commits is typed, a key for each character.
    if (watched == txtSearch && event->type() == QEvent::InputMethod) {
        for (const QChar typed : static_cast<QInputMethodEvent*>(event)->commitString()) {
            txtSearch_KeyPress(typed.unicode());
        }
        return false;
    }
    for (int i : {kUp, kDown}) {
        if (watched != lblDirect[i]) {
            continue;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            lblDirect_Click(i);
        }
        return event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::MouseButtonRelease;
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void frmSearch::cmdClear_Click() {
    txtSearch->clear();
    lblMessage->clear();
}

// The node click leaves the tree disabled while it runs.
void frmSearch::cmdCancel_Click() {
    if (FormInstance<frmMain>::isLoaded()) {
        FormInstance<frmMain>::get()->treMain->setEnabled(true);
    }
    imgClose_Click();
}

void frmSearch::lblDirect_Click(int Index) {
    optDirect[Index]->setChecked(true);
}

// The bar enters again from the left once it has left on the right.
void frmSearch::tmrProgressFlash_Timer() {
    advanceProgressFlash(mProgressFlash);
}

void frmSearch::unloadForm() {
    FormInstance<frmSearch>::unload();
}
