#pragma once

#include <QString>

class Grader;
class Store;

// A learner's records per course as the service keeps them: correct and
// wrong sentences, question progress and the error counts they give. What
// the uploads put in is exactly what sync and the progress requests give back.
class RecordBook {
public:
    RecordBook(Store& store, const Grader& grader) : m_store(store), m_grader(grader) {}

    // One graded sentence as the program uploads it. A correct sentence
    // ("0") is kept once per question; a wrong one every time, with its
    // faulty words marked as the engine marks them.
    void addSentence(const QString& pno, const QString& course, const QString& qcode,
                     const QString& flag, const QString& errcode, const QString& sentence);
    // Progress only moves forward: '1' not done, '2' attempted, '3' finished.
    void raiseProgress(const QString& pno, const QString& course, const QString& unitId,
                       const QString& state);

    // Records joined by "<@>", each followed by it; fields by "#".
    QString correctRecords(const QString& pno, const QString& course);
    QString wrongRecords(const QString& pno, const QString& course);
    // Items joined by ",", each followed by it: "id:state", "code:count".
    QString progressItems(const QString& pno, const QString& course);
    QString mistakeItems(const QString& pno, const QString& course);

    // Copies another account's records of a course into this one; records
    // copied before are not copied again.
    void mergeFrom(const QString& pno, const QString& fromPno, const QString& course);
    // "error", "sentence" or "progress"; false for any other kind.
    bool reset(const QString& pno, const QString& course, const QString& kind);

private:
    QString joined(const QString& sql, const QString& pno, const QString& course,
                   const QString& fieldSeparator, const QString& itemEnd);

    Store& m_store;
    const Grader& m_grader;
};
