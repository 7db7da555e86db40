#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include "startup/clsRuv.h"
#include "tests/support/servicelog.h"
#include "tests/support/standinprocess.h"
#include "tests/support/tempbase.h"

namespace {

constexpr clsRuv::HRESULT kResourceNotFound = clsRuv::HRESULT(0x800C0005u);
constexpr clsRuv::HRESULT kCannotConnect = clsRuv::HRESULT(0x800C0004u);
constexpr clsRuv::HRESULT kDownloadFailure = clsRuv::HRESULT(0x800C0008u);

// The events of one object, in the order raised.
class EventRecorder {
public:
    explicit EventRecorder(clsRuv& download) {
        QObject::connect(&download, &clsRuv::RuvDLStart, [this] { events << "start"; });
        QObject::connect(&download, &clsRuv::RuvDLDone, [this] { events << "done"; });
        QObject::connect(&download, &clsRuv::RuvDLCancelled, [this] { events << "cancelled"; });
        QObject::connect(&download, &clsRuv::RuvDLCrash,
                         [this](qint32 number, const QString& description, bool cancelled) {
                             events << "crash";
                             crashNumber = number;
                             crashText = description;
                             crashCancelled = cancelled;
                         });
        QObject::connect(&download, &clsRuv::RuvDLProg, [this](qint32 bytesIn, qint32 total) {
            if (events.isEmpty() || events.last() != "progress") {
                events << "progress";
            }
            progress << qMakePair(bytesIn, total);
        });
    }

    QStringList events;
    QList<QPair<qint32, qint32>> progress;
    qint32 crashNumber = 0;
    QString crashText;
    bool crashCancelled = false;
};

class DownloadCallbackTest : public TempBaseTest {
protected:
    QString localFile() const { return basePath() + "/DEMO.giz"; }
};

}  // namespace

TEST_F(DownloadCallbackTest, AWholeDownloadReportsStartProgressAndDoneInOrder) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    clsRuv download;
    EventRecorder recorder(download);

    const std::optional<bool> answer =
        download.StartTheStinkinDownLoad(standin.baseUrl() + "lxv_download/DEMO.giz", localFile());

    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(*answer);
    EXPECT_EQ(recorder.events, QStringList({"start", "progress", "done"}));
    const QByteArray expected = readBytes(QStringLiteral(LEXIVO_PROGRAM_DIR) + "/DEMO.giz");
    EXPECT_EQ(readBytes(localFile()), expected);
    ASSERT_FALSE(recorder.progress.isEmpty());
    EXPECT_EQ(recorder.progress.last(),
              qMakePair(qint32(expected.size()), qint32(expected.size())));
    for (const auto& [bytesIn, total] : recorder.progress) {
        EXPECT_LE(bytesIn, total);
    }
}

TEST_F(DownloadCallbackTest, AMissingPackageCrashesWithResourceNotFound) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    clsRuv download;
    EventRecorder recorder(download);

    EXPECT_EQ(
        download.StartTheStinkinDownLoad(standin.baseUrl() + "lxv_download/NONE.giz", localFile()),
        std::optional<bool>(false));

    EXPECT_EQ(recorder.events.first(), "start");
    EXPECT_EQ(recorder.events.last(), "crash");
    EXPECT_EQ(recorder.crashNumber, kResourceNotFound);
    EXPECT_EQ(recorder.crashText, "Resource Not Found.");
    EXPECT_FALSE(recorder.crashCancelled);
}

// An error page is no package: the download fails, however the page reads.
TEST_F(DownloadCallbackTest, AnErrorStatusOfTheServerCrashesWithDownloadFailure) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    for (const char* status : {"status:400", "status:500"}) {
        ASSERT_TRUE(standin.setMode("DEMO.giz", status));
        clsRuv download;
        EventRecorder recorder(download);
        EXPECT_EQ(download.StartTheStinkinDownLoad(standin.baseUrl() + "lxv_download/DEMO.giz",
                                                   localFile()),
                  std::optional<bool>(false))
            << status;
        EXPECT_EQ(recorder.crashNumber, kDownloadFailure) << status;
    }
}

TEST_F(DownloadCallbackTest, AServerThatCannotBeReachedCannotConnect) {
    clsRuv download;
    EventRecorder recorder(download);

    EXPECT_EQ(download.StartTheStinkinDownLoad(unusedLoopbackBase() + "DEMO.giz", localFile()),
              std::optional<bool>(false));
    EXPECT_EQ(recorder.crashNumber, kCannotConnect);
    EXPECT_EQ(recorder.crashText, "Cannot Connect");
}

TEST_F(DownloadCallbackTest, ASecondDownloadWhileOneRunsAnswersNothing) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    clsRuv download;
    std::optional<bool> nested = true;
    QObject::connect(&download, &clsRuv::RuvDLStart, [&] {
        nested = download.StartTheStinkinDownLoad(standin.baseUrl() + "lxv_download/DEMO.giz",
                                                  basePath() + "/second.giz");
    });

    EXPECT_EQ(
        download.StartTheStinkinDownLoad(standin.baseUrl() + "lxv_download/DEMO.giz", localFile()),
        std::optional<bool>(true));
    EXPECT_FALSE(nested.has_value());
    EXPECT_FALSE(QFile::exists(basePath() + "/second.giz"));
}

TEST_F(DownloadCallbackTest, ProgressOfUnknownSizeRaisesNothingButKeepsEventsRunning) {
    clsRuv download;
    EventRecorder recorder(download);
    bool pumped = false;
    QTimer::singleShot(0, [&pumped] { pumped = true; });

    download.OnProgress(0, 0);

    EXPECT_TRUE(recorder.events.isEmpty());
    EXPECT_TRUE(pumped);
}

TEST_F(DownloadCallbackTest, KillRuvCancelsAndAStopReportAfterItCountsAsCancelled) {
    clsRuv idle;
    EventRecorder idleRecorder(idle);
    idle.KillRuv();
    EXPECT_EQ(idleRecorder.events, QStringList{"cancelled"});

    clsRuv running;
    EventRecorder recorder(running);
    running.OnStartBinding();
    running.KillRuv();
    running.OnStopBinding(kResourceNotFound);
    EXPECT_EQ(recorder.events, QStringList({"start", "cancelled", "crash"}));
    EXPECT_TRUE(recorder.crashCancelled);
}

TEST_F(DownloadCallbackTest, KillRuvDuringADownloadAbortsIt) {
    StandinProcess standin;
    ASSERT_TRUE(standin.start());
    clsRuv download;
    EventRecorder recorder(download);
    QObject::connect(&download, &clsRuv::RuvDLStart, [&download] { download.KillRuv(); });

    EXPECT_EQ(
        download.StartTheStinkinDownLoad(standin.baseUrl() + "lxv_download/DEMO.giz", localFile()),
        std::optional<bool>(false));
    EXPECT_EQ(recorder.events.mid(0, 2), QStringList({"start", "cancelled"}));
    EXPECT_EQ(recorder.events.last(), "crash");
    EXPECT_TRUE(recorder.crashCancelled);
}

TEST(DownloadErrorTextTest, KnownCodesHaveTheirTextAndOthersAreUnknown) {
    EXPECT_EQ(clsRuv::GetBindErrorText(clsRuv::HRESULT(0x800C0002u)), "Invalid URL.");
    EXPECT_EQ(clsRuv::GetBindErrorText(clsRuv::HRESULT(0x800C000Bu)), "Connection Timeout.");
    EXPECT_EQ(clsRuv::GetBindErrorText(clsRuv::HRESULT(0x800C0300u)), "Cannot Replace SFP File.");
    EXPECT_EQ(clsRuv::GetBindErrorText(clsRuv::HRESULT(0x800C0012u)), "Unknown.");
    EXPECT_EQ(clsRuv::GetBindErrorText(0), "Unknown.");
}
