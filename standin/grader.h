#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The stand-in's checking engine: a handful of deterministic rules, each
// reporting its own error code from the error list. Good enough to give the
// program every kind of verdict; no attempt at real grammar.
class Grader {
public:
    // The rules by name, in the order they are tried on each word.
    static const QStringList& ruleNames();

    struct Result {
        QString status;     // "0" correct, "1" one fault, "2" several
        QStringList codes;  // in sentence order, each once
        QString marked;     // the sentence with each faulty stretch in "*"
        QString errorCode() const { return codes.isEmpty() ? QStringLiteral("0") : codes.first(); }
    };

    // rule name -> error code; rules without a code are not applied.
    void setCodes(const QHash<QString, QString>& codesByRule) { m_codes = codesByRule; }
    const QHash<QString, QString>& codes() const { return m_codes; }

    Result grade(const QString& sentence) const;

private:
    QHash<QString, QString> m_codes;
};
