#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The six-line file beside each course folder (the course id with the
// extension ".lxs") that names the course and holds the learner's study
// plan: id, course name, plan name, plan length in days, start date and end
// date, dates as year/month/day. Big5 text with CR LF line ends.
//
// Every reader goes through here so that a damaged file means the same
// everywhere: a file of fewer than six lines, or whose day count is not a
// whole number, holds no plan.
class CourseDescriptor {
public:
    static constexpr int kLineCount = 6;
    static constexpr int kIdLine = 1;
    static constexpr int kNameLine = 2;
    static constexpr int kPlanNameLine = 3;
    static constexpr int kDaysLine = 4;
    static constexpr int kStartLine = 5;
    static constexpr int kEndLine = 6;

    // The course's descriptor file as it is named on disk (CourseDescriptorFile).
    static QString pathOf(const QString& courseId);

    // The plan name that goes with a plan length.
    static QString planNameForDays(int days);
    // A text that is a whole number (blanks around it allowed), as a day
    // count is written.
    static bool readWholeNumber(const QString& text, int* value);
    // year/month/day with "/" (blanks around it allowed); invalid otherwise.
    static QDate readDate(const QString& text);

    // False, and no lines, when the file is missing or cannot be read.
    bool read(const QString& path);
    // Rewrites the whole file with the six lines; a failed write leaves the
    // former file as it was.
    bool write(const QString& path) const;

    // Line 1 to 6 as it stands in the file; "" for a line the file lacks.
    QString line(int number) const;
    void setLine(int number, const QString& text);
    bool isComplete() const { return m_lineCount >= kLineCount; }

    // A complete file whose line 4 is a whole number.
    bool hasReadablePlan() const;
    // Lines 5 and 6 are both dates.
    bool hasReadableDates() const;
    // Line 4 as a number; 0 when the file holds no readable plan.
    int planDays() const;
    QDate planStart() const { return readDate(line(kStartLine)); }
    QDate planEnd() const { return readDate(line(kEndLine)); }

private:
    QStringList m_lines = QStringList(kLineCount);
    int m_lineCount = 0;
};
