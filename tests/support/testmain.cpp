#include <gtest/gtest.h>
#include <QApplication>

namespace {

void setEnvironmentDefault(const char* name, const QByteArray& value) {
    if (qEnvironmentVariableIsEmpty(name)) {
        qputenv(name, value);
    }
}

}  // namespace

// Every test binary runs under a real QApplication so that widgets, timers
// and the event loop behave as in the program; headless unless told otherwise.
int main(int argc, char** argv) {
    setEnvironmentDefault("QT_QPA_PLATFORM", "offscreen");
    // The browser's engine refuses to start its sandbox as root (as CI runs)
    // and has no graphics device when headless.
    setEnvironmentDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setEnvironmentDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    // The browser's engine must share its rendering context with the
    // application's, which it can only do when told before the application
    // object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
