#pragma once

#include <ostream>
#include <string>

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>

#include "tests/forms/sentencecheckfixture.h"

class QWidget;

// A misbehaving service or checking engine, set on the stand-in before the
// learner's move.
struct ServiceFault {
    // The script that misbehaves (a file name, or a path with a leading
    // "/"); "" when the whole stand-in is stopped.
    const char* script;
    // A mode of the stand-in ("offline", "silent", "garbage", "err:ERR_X"),
    // or "stopped": nothing listens at the service's address any more.
    const char* mode;
};

// Failures show texts and faults as they read.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const ServiceFault& fault, std::ostream* out);

// A test name made of the script and the mode, e.g. "p_getconn_silent".
std::string faultName(const ServiceFault& fault);

template <class Param>
std::string faultTestName(const ::testing::TestParamInfo<Param>& info) {
    return faultName(info.param);
}

// The main window on the demo course, the stand-in its service and engine.
// Requests give up after a fraction of a second, so a script that never
// answers ends its test soon, and the engine's wait ticks fast.
class ServiceFaultTest : public SentenceCheckTest {
protected:
    static constexpr int kShortTimeoutMs = 250;

    void SetUp() override;
    void TearDown() override;

    // The main window of the edition, the engine's ticks shortened.
    void openMainWindow(const QString& edition = "LXV");
    // The program's own time-outs and engine ticks again, for a move that
    // must succeed.
    void restoreTimeouts();
    void applyFault(const ServiceFault& fault);

    // The rows of a query, fields joined by "|".
    static QStringList rowTexts(const QString& sql, const QString& connection);
    // What the learner keeps on this computer: own and wrong sentences,
    // error counts, the progress of every question and the course
    // descriptor.
    QStringList localRecords() const;
    // Puts records of every kind in place, different from anything that the
    // service holds.
    void addLocalRecords();

    // The window takes input again: enabled, and no message or please-wait
    // box is left open.
    static void expectUsable(QWidget* window);

private:
    int m_connectMs = 0;
    int m_totalMs = 0;
    int m_engineTickMs = 0;
};

// Each test runs once for every fault of its table.
template <class Param = ServiceFault>
class FaultTest : public ServiceFaultTest, public ::testing::WithParamInterface<Param> {};
