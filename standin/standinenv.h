#pragma once

#include <QHash>
#include <QString>

#include "standin/grader.h"
#include "standin/store.h"

// What every script may use: the store, the engine's rules, the error list's
// outlines and the addresses by which clients reach this stand-in.
struct StandinEnv {
    Store store;
    Grader grader;
    QHash<QString, QString> outlinesByCode;
    QString programDir;  // course packages named without a folder lie here
    int port = 0;

    QString selfBase() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port); }
    QString engineBase() const { return selfBase() + "engine/"; }
};
