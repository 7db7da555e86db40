#include "workspace/frmMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>

#include "platform/forminstance.h"
#include "workspace/frmMain.h"

namespace {

QLineEdit* inputBox() {
    return FormInstance<frmMain>::get()->txtInput;
}

}  // namespace

frmMenu::frmMenu() {
    setWindowTitle("Form1");
    mnuTextPopup = new QMenu(this);
    mnuTextCopy = mnuTextPopup->addAction("複製(&C)");
    mnuTextCut = mnuTextPopup->addAction("剪下(&X)");
    mnuTextPaste = mnuTextPopup->addAction("貼上(&V)");
    connect(mnuTextCopy, &QAction::triggered, this, &frmMenu::mnuTextCopy_Click);
    connect(mnuTextCut, &QAction::triggered, this, &frmMenu::mnuTextCut_Click);
    connect(mnuTextPaste, &QAction::triggered, this, &frmMenu::mnuTextPaste_Click);
}

void frmMenu::mnuTextCopy_Click() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(inputBox()->selectedText());
}

void frmMenu::mnuTextCut_Click() {
    QLineEdit* box = inputBox();
    QApplication::clipboard()->setText(box->selectedText());
    if (box->hasSelectedText()) {
        box->insert(QString());
    }
}

// Pasted text goes round the key filter of the box: it comes as it is.
void frmMenu::mnuTextPaste_Click() {
    inputBox()->insert(QApplication::clipboard()->text());
}
