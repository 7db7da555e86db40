#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "tests/support/mainwindowfixture.h"

class frmMain;

// Bytes that no text file of ours holds: NULs, bytes that no Big5 character
// begins with, lead bytes without their trail byte.
QByteArray binaryGarbage();
// lineCount lines of settings-like junk, CR LF ended.
QByteArray manyJunkLines(int lineCount);

// Damaged files of the learner's data folder, and the main window started
// on them as the start-up starts it.
class LocalDataTest : public MainWindowTest {
protected:
    // The demo course, with a study plan so that opening it asks for none.
    void installDemoCourseWithPlan();
    QString courseFile(const QString& name) const;

    // Loads the main window of the edition set up before; the course
    // picker, if the start shows it, is closed at once and counted.
    frmMain* startMainWindow();
    int pickerShown() const { return m_pickerShown; }

private:
    int m_pickerShown = 0;
};
