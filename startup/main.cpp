#include <QApplication>

#include "platform/disabledpicturestyle.h"
#include "platform/forminstance.h"
#include "startup/frmStartup.h"

// The start-up form carries the whole start-up in its Form_Load; the event
// loop then runs until the program ends.
int main(int argc, char** argv) {
    frmStartup::KeepCommandLine(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setStyle(new DisabledPictureStyle);
    FormInstance<frmStartup>::get();
    return QApplication::exec();
}
