#include <QApplication>
#include <QMessageBox>

#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"

namespace {

QString EditionFromCommandLine(const QStringList& arguments) {
    return arguments.size() > 1 ? Trim(arguments.at(1)).toUpper() : QString();
}

void ReportInitialisation() {
    QMessageBox::information(nullptr, "Lexivo",
                             "資料已準備完成。\n\n版本：" + gEdition + "\n資料夾：" + gBasePath);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    gEdition = EditionFromCommandLine(QApplication::arguments());
    if (gEdition != "LXV" && gEdition != "LXQ" && gEdition != "LXM") {
        return 0;
    }
    InitialGlobalSetting();
    BuildConnStrings();
    InstallEngineData();
    InstallUpdater();
    ReportInitialisation();
    return 0;
}
