#include "tests/forms/localdatafixture.h"

#include <QTimer>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "startup/frmClassSelect.h"
#include "startup/frmSchedule.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kPollIntervalMs = 5;

}  // namespace

QByteArray binaryGarbage() {
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.append(char((i * 7919 + 13) % 256));
    }
    return bytes + QByteArray("\0\xff\xa4", 3);
}

QByteArray manyJunkLines(int lineCount) {
    const QByteArray line = "junk" + QByteArray(56, 'x') + "=\xa4\xa4" + "\r\n";
    return line.repeated(lineCount);
}

void LocalDataTest::installDemoCourseWithPlan() {
    installDemoCourse();
    ASSERT_TRUE(big5::writeLines(ProductFolder() + "/DEMO.lxs",
                                 {"DEMO", "示範", "勤奮好學型", "40", "2024/3/1", "2024/4/9"}));
}

QString LocalDataTest::courseFile(const QString& name) const {
    return ProductFolder() + "/DEMO/" + name;
}

frmMain* LocalDataTest::startMainWindow() {
    QTimer pickerCloser;
    pickerCloser.setInterval(kPollIntervalMs);
    QObject::connect(&pickerCloser, &QTimer::timeout, [this] {
        if (FormInstance<frmClassSelect>::isLoaded() &&
            FormInstance<frmClassSelect>::get()->isVisible()) {
            ++m_pickerShown;
            FormInstance<frmClassSelect>::unload();
        }
    });
    pickerCloser.start();
    frmMain* window = FormInstance<frmMain>::get();
    if (FormInstance<frmSchedule>::isLoaded()) {
        FormInstance<frmSchedule>::unload();
    }
    return window;
}
