#pragma once

#include <functional>
#include <QStringList>

// What every benchmark program of the folder shares: a headless
// QApplication, the browser engine started before anything is measured (its
// own start is not the program's), Google Benchmark's command line, and the
// forms unloaded at the end.
namespace benchmain {

struct Options {
    // What the application sees after its own name, as the program's
    // command line would give it (the edition).
    QStringList programArguments;
    // Runs once the forms are unloaded, before the application goes, to
    // release what else the benchmarks kept (stand-ins).
    std::function<void()> atEnd;
};

int run(int argc, char** argv, const Options& options = {});

}  // namespace benchmain
