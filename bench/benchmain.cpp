#include "bench/benchmain.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>
#include <string>
#include <vector>

#include "platform/disabledpicturestyle.h"
#include "platform/forminstance.h"

namespace {

constexpr int kEngineStartMs = 30000;

void setEnvironmentDefault(const char* name, const QByteArray& value) {
    if (qEnvironmentVariableIsEmpty(name)) {
        qputenv(name, value);
    }
}

// One view that loads a page starts the engine's processes, which every
// later view shares.
std::unique_ptr<QWebEngineView> startBrowserEngine() {
    auto view = std::make_unique<QWebEngineView>();
    QEventLoop loop;
    QObject::connect(view.get(), &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kEngineStartMs, &loop, &QEventLoop::quit);
    view->setHtml(QStringLiteral("<html><body>start</body></html>"));
    loop.exec();
    return view;
}

// The application keeps pointers into its command line for its whole life.
struct ApplicationCommandLine {
    std::vector<std::string> texts;
    std::vector<char*> pointers;
    int count = 0;

    ApplicationCommandLine(const char* programName, const QStringList& arguments) {
        texts.emplace_back(programName);
        for (const QString& argument : arguments) {
            texts.push_back(argument.toStdString());
        }
        for (std::string& text : texts) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        count = int(texts.size());
    }
};

}  // namespace

namespace benchmain {

int run(int argc, char** argv, const Options& options) {
    setEnvironmentDefault("QT_QPA_PLATFORM", "offscreen");
    setEnvironmentDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setEnvironmentDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ApplicationCommandLine commandLine(argv[0], options.programArguments);
    QApplication application(commandLine.count, commandLine.pointers.data());
    // As the program's own main sets it.
    QApplication::setStyle(new DisabledPictureStyle);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::unique_ptr<QWebEngineView> engine = startBrowserEngine();
    benchmark::RunSpecifiedBenchmarks();
    forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (options.atEnd) {
        options.atEnd();
    }
    benchmark::Shutdown();
    return 0;
}

}  // namespace benchmain
