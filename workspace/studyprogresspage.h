#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The study-progress page: the page template filled with the plan, the
// course's counts against the plan, and one row with a bar per sub-unit.
class StudyProgressPage {
public:
    struct Plan {
        QString type;
        int days = 0;
        QDate start;  // from 00:00:00
        QDate end;    // to 23:59:59
    };

    // Questions not done, attempted and finished.
    struct Counts {
        qint64 notDone = 0;
        qint64 attempted = 0;
        qint64 finished = 0;
        qint64 total() const { return notDone + attempted + finished; }
    };

    StudyProgressPage(const Plan& plan, const QDateTime& now);

    // The template with every placeholder replaced, counted on the course
    // database.
    QString fill(const QString& templateText) const;

    // The questions that the plan expects finished by now.
    qint64 expectedFinished(qint64 total) const;

    // The course's questions by progress state, on the course database.
    static Counts questionCounts();

private:
    QString endDays() const;
    QString unitRows() const;
    static QString unitRow(int rowNumber, const QString& label, const Counts& counts);
    static QString barCell(const Counts& counts);
    static Counts countWhere(const QString& condition);

    Plan mPlan;
    QDateTime mNow;
};
