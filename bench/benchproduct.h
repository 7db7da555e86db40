#pragma once

#include <QString>
#include <QTemporaryDir>

class GeneratedCourse;

// The learner's side of an LXV installation in a temporary TMP: the product
// and engine folders as the start-up installs them, servers.set naming the
// service at serviceUrl, the demo course and any generated course
// installed with a study plan (so that no plan dialog holds a start up).
class BenchProduct {
public:
    explicit BenchProduct(const QString& serviceUrl);

    bool isValid() const { return m_valid; }
    const QString& error() const { return m_error; }

    bool installDemoCourse();
    bool installCourse(const GeneratedCourse& course);
    // The course that the next start opens.
    void setLastCourse(const QString& courseId);
    // Makes the course the open one for code that reads the globals.
    void useCourse(const QString& courseId);

private:
    bool unpack(const QString& packagePath);
    bool writePlan(const QString& courseId);
    void setUpGlobals(const QString& serviceUrl);

    QTemporaryDir m_base;
    QString m_error;
    bool m_valid = false;
};
