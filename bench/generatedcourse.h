#pragma once

#include <QString>

// A course of any size, built the way the demo course is: a readable source
// (course.json, the demo's first page and its pictures) handed to gizpack,
// which makes the package. Unit n is "G" and n in three digits followed by
// "0100"; its questions follow it ("...0101", "...0102", ...).
struct GeneratedCourse {
    QString id;
    int units = 0;
    int questionsPerUnit = 0;

    static QString unitId(int unit);
    static QString questionId(int unit, int question);

    // Writes the package; false with the reason in error.
    bool buildPackage(const QString& packagePath, QString* error) const;

private:
    bool writeSource(const QString& folder, QString* error) const;
};
