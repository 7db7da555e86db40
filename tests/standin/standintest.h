#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include "tests/support/standinprocess.h"
#include "tests/support/tempbase.h"

using Fields = QList<QPair<QString, QString>>;

// A fresh stand-in per test, its store in the test's own folder, and the
// three ways the program talks to it.
class StandinTest : public TempBaseTest {
protected:
    void SetUp() override;

    // The program's request: "key=quillmarrowed" and the fields, values
    // raw, the whole text as Big5 bytes. The reply decoded from Big5.
    QString request(const QString& script, const Fields& fields);
    // A browser posting an HTML form of a Big5 page: URL-encoded Big5.
    QString formPost(const QString& script, const Fields& fields);
    // A page or file by address; its text decoded from Big5.
    QString page(const QString& pathAndQuery);

    QString standinDataDir() const;

    StandinProcess standin;
};

// "he like it" as the engine's request carries it.
QString sentenceChecksum(const QString& sentence);
Fields engineFields(const QString& pno, const QString& qcode, const QString& sentence);
