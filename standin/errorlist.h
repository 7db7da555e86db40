#pragma once

#include <QHash>
#include <QString>

// The engine's error list in its readable form: "code<TAB>CODE<TAB>outline"
// lines among category lines and comments. Code -> outline; empty when the
// file cannot be read.
QHash<QString, QString> readErrorOutlines(const QString& path);
