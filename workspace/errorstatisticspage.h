#pragma once

#include <QString>

// The error-statistics page: the learner's recorded errors by the engine's
// error categories, each category a folder that opens onto its error codes.
// A click on a code sends "cmd:errcode:" and the code.
class ErrorStatisticsPage {
public:
    // Where the counts come from: stored wrong sentences (LXV) or the error
    // counters (LXQ, LXM).
    enum class Counts { WrongSentences, Mistakes };

    // pictureFolder holds folder-off.gif and folder-on.gif.
    ErrorStatisticsPage(Counts counts, const QString& pictureFolder);

    // The whole page, from the error list and the learner database.
    QString build();

private:
    qint64 categoryCount(const QString& id) const;
    qint64 codeCount(const QString& code) const;
    bool databasesReadable() const;
    void appendCategory(const QString& id, const QString& name, qint64 count);
    void appendCodes(const QString& id);
    void appendCode(const QString& code, const QString& outline, qint64 count);
    QString introduction(bool readable) const;
    QString picture(const QString& name) const;

    Counts mCounts;
    QString mPictureFolder;
    QString mStatistics;
    qint64 mCodeRows = 0;
};
