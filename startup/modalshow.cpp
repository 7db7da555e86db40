#include "startup/modalshow.h"

#include <QPointer>
#include <QWidget>

#include "platform/waituntil.h"

void showModalAndWait(QWidget* form) {
    QPointer<QWidget> shown(form);
    shown->setWindowModality(Qt::ApplicationModal);
    shown->show();
    shown->raise();
    shown->activateWindow();
    waitUntil([&shown] { return !shown || !shown->isVisible(); });
}
