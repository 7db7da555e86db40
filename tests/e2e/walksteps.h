#pragma once

#include <memory>
#include <ostream>
#include <QMap>
#include <QString>
#include <QStringList>

#include "tests/e2e/programrun.h"
#include "tests/e2e/programtest.h"

inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}

// The learner's whole road through one edition: the steps that the three
// walks share, and what the test reads afterwards from the stand-in, the
// log and the product folder.
namespace walksteps {

using Row = QMap<QString, QString>;

// The picker finds no course; the learner downloads the demo course from
// the download page, installs it and opens it. Shots: picker, download.
QStringList downloadAndOpenDemo(const QString& shotPrefix);

// The course has opened: its commands are offered.
QStringList courseOpened();

// Selects the question by its tree text.
QStringList selectQuestion(const QString& nodeText);

inline const QString kCorrect = QStringLiteral("正確");
inline const QString kWrong = QStringLiteral("有錯誤");

// Types the sentence into the answer box and sends it with Enter; waits for
// the verdict; logs the codes of a wrong one. An upload that the service
// does not take is told on the way.
QStringList checkSentence(const QString& sentence, const QString& verdict, bool uploadLost = false);

// The statistics page with the category of the code opened and the code
// clicked, which opens the wrong-sentences window; that window's list is
// logged and the window closed. Shots: statistics, wrongsentences.
QStringList statisticsAndWrongSentences(const QString& category, const QString& code,
                                        const QString& shotPrefix);

// The progress page, whose address holds addressPart; its text is logged.
// Shot: progress.
QStringList progressPage(const QString& addressPart, const QString& shotPrefix);

// The examples of the selected question in both languages, once the list
// shows the translation; the list is logged. Shot: examples.
QStringList examples(const QString& translation, const QString& shotPrefix);

// The own sentences of the selected question; the list is logged. Shot:
// sentences.
QStringList ownSentences(const QString& shotPrefix);

// Searches for a phrase and logs the status line that the found question
// shows. Shot: search.
QStringList search(const QString& phrase, const QString& shotPrefix);

// Feedback on the last check, with a description and an e-mail address for
// the answer. Shot: feedback.
QStringList feedback(const QString& description, const QString& email, const QString& shotPrefix);

// Exit through the tool bar, confirmed.
QStringList leaveConfirmed();

// What the two editions that keep their records on the service share after
// the sign-in: the demo course installed and opened, a correct and a wrong
// check, the statistics page and its wrong sentences, the progress page,
// examples, own sentences, feedback, search, and the exit. Shots are named
// with the prefix.
QStringList serviceEditionRoad(const QString& shotPrefix);

// The road's sentences and feedback.
inline const QString kCorrectSentence = QStringLiteral("My name is Wang Xiao-ming.");
inline const QString kWrongSentence = QStringLiteral("my name is Tom.");
inline const QString kWrongSentenceMarked = QStringLiteral("*my* name is Tom.");
inline const QString kFeedbackText = QStringLiteral("這句話的大寫應該沒有錯。");
inline const QString kFeedbackEmail = QStringLiteral("learner@lexivo.test");
// A translation among the examples of the road's question.
inline const QString kExampleTranslation = QStringLiteral("我的名字是林美玲。");

// A form body as a browser posts it (Big5, percent-encoded), by field.
Row formFields(const QByteArray& body);

}  // namespace walksteps

class WalkTest : public ProgramTest {
protected:
    // Generous: a walk takes well under a minute and a half on its own, but
    // shares the machine with the rest of the suite.
    static constexpr int kWalkTimeoutMs = 150000;

    void SetUp() override;
    // A failed walk shows what the program logged and printed.
    void TearDown() override;

    // Runs the program through the script; false when it did not end by
    // itself in time.
    bool walk(const QString& edition, const QStringList& script);
    QString walkLog() const;

    // The forms that reached a script of the stand-in, in order.
    QList<walksteps::Row> formsPostedTo(const QString& script);
    // The stand-in's rows of a table whose column column holds value.
    QList<walksteps::Row> stateRows(const QString& table, const QString& column,
                                    const QString& value);
    // The rows of a query on a database of the demo course's folder, each
    // row's fields joined by "|".
    QStringList courseRows(const QString& database, const QString& sql) const;
    // The program ended by itself without a crash, and every "shot" step of
    // the script wrote its picture.
    void expectEndedWell(const QStringList& script) const;
    // The pages and windows of the road showed the account's records.
    void expectRoadShown() const;
    // The service holds the account's graded, uploaded sentences, their
    // progress and the feedback; the local databases hold only the counts
    // and the progress.
    void expectServiceEditionRecords(const QString& pno);

    std::unique_ptr<ProgramRun> program;
};
