#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The readable form of a course, as kept in the source tree: pages/*.htm
// (UTF-8), pic/* and course.json (UTF-8):
//   {"id": "DEMO", "name": "...", "root": "DEMO0000",
//    "units": [{"id": "U1000100", "name": "...", "page": "unit1.htm",
//               "questions": [{"id": "U1000101", "name": "...",
//                              "lines": ["...", ...], "unique": false,
//                              "examples": [{"en": "...", "zh": "..."}]}]}]}
struct CourseExample {
    QString english;
    QString chinese;
};

struct CourseQuestion {
    QString id;
    QString name;
    QStringList lines;
    bool unique = false;
    QList<CourseExample> examples;
};

struct CourseUnit {
    QString id;
    QString name;
    QString page;  // file name in pages/, ending in ".htm"
    QList<CourseQuestion> questions;
};

struct CourseSource {
    QString folder;
    QString id;
    QString name;
    QString rootId;
    QList<CourseUnit> units;
};

// Reads and checks the course in folder: the ids keep the forms the tree
// and the sentence lists rely on (the root alone ends in "0000", a
// question's id begins with the first four characters of its unit's, no id
// is repeated or looks like a question key), every page exists and every
// text has Big5 codes. False with the first problem in error.
bool loadCourseSource(const QString& folder, CourseSource* course, QString* error);
