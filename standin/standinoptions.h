#pragma once

#include <QString>
#include <QStringList>

// lexivo-standin --port N --data DIR [--seed FILE] [--test]
struct StandinOptions {
    int port = -1;
    QString dataDir;
    QString seedFile;  // "" for the seed beside the executable
    bool testControls = false;

    // False with a reason for a command line it cannot use.
    bool parse(const QStringList& arguments, QString* error);
    static QString usage();
};
