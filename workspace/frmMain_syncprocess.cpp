#include <optional>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "shared/request.h"
#include "workspace/frmMain.h"
#include "workspace/progressbatch.h"
#include "workspace/syncreplies.h"

using syncreplies::ProgressItem;
using syncreplies::SentenceRecord;

namespace {

// How long the please-wait bar may stand still while rows are written.
constexpr int kPumpIntervalMs = 30;
// Rows written between two looks at the please-wait bar.
constexpr qsizetype kRowsPerBatch = 500;

// Keeps the please-wait bar moving without paying for an event round per
// row.
class EventPump {
public:
    EventPump() { m_clock.start(); }
    void pump() {
        if (m_clock.elapsed() >= kPumpIntervalMs) {
            doEvents();
            m_clock.restart();
        }
    }

private:
    QElapsedTimer m_clock;
};

// Record ids as GetUniqueID() makes them: the seconds since 2006 and five
// random digits. The clock is read once per statement, as looking up the
// local time costs more than writing a row.
class RecordIds {
public:
    void readClock() { m_seconds = GetUniqueID().chopped(kRandomDigits); }
    QString next() const {
        const int random = int(QRandomGenerator::global()->bounded(kRandomRange)) + 1;
        return m_seconds + QStringLiteral("%1").arg(random, kRandomDigits, 10, QChar('0'));
    }

private:
    static constexpr int kRandomDigits = 5;
    static constexpr int kRandomRange = 99999;
    QString m_seconds;
};

struct ServiceRecords {
    QList<SentenceRecord> correct;
    QList<SentenceRecord> wrong;
    QList<ProgressItem> progress;
};

QString postSentences(const RequestFields& fields) {
    return PostRequest(gServerURL + "p_lxv_sync_client.asp", RequestForm(fields))
        .value_or(kConnectFailed);
}

QString postProgressQuery() {
    const QString form = RequestForm({{"pno", gPno}, {"courseid", gCourseId}});
    return PostQueryRequest(gServerURL + "p_lxv_getprogress.asp", form).value_or(kConnectFailed);
}

// What the learner is told when the service's records are not taken: a post
// that failed is the network's fault, a reply that came but cannot be used
// is the service's.
QString refusalMessageOf(const QString& reply) {
    return reply == kConnectFailed ? "1" : "29972";
}

// All three replies, or none when any of them is unusable; then
// refusalMessage tells why.
std::optional<ServiceRecords> fetchServiceRecords(QString& refusalMessage) {
    ServiceRecords records;
    const auto take = [&refusalMessage](const QString& reply, auto read, auto& into) {
        auto taken = read(reply);
        if (!taken) {
            refusalMessage = refusalMessageOf(reply);
            return false;
        }
        into = std::move(*taken);
        return true;
    };
    const bool taken =
        take(postSentences(
                 {{"tp", "ok"}, {"courseId", gCourseId}, {"pno", gPno}, {"frompno", gOldPno}}),
             syncreplies::correctSentences, records.correct) &&
        take(postSentences({{"tp", "err"}, {"courseId", gCourseId}, {"pno", gPno}}),
             syncreplies::wrongSentences, records.wrong) &&
        take(postProgressQuery(), syncreplies::progressItems, records.progress);
    return taken ? std::optional(records) : std::nullopt;
}

// Id, question code, sentence, date.
QStringList correctSentenceRow(const QString& id, const SentenceRecord& record) {
    return {id, record.code, record.sentence, record.storedDate};
}

// Id, sentence, error code, date, and the mark of the rows that came from
// the service.
QStringList wrongSentenceRow(const QString& id, const SentenceRecord& record) {
    return {id, record.sentence, record.code, record.storedDate, "Y"};
}

// The service's values are bound to the statement, never spliced into it;
// one statement prepared for many rows keeps a large sync quick.
bool insertRows(const QString& insert, const QList<SentenceRecord>& records,
                QStringList (*rowOf)(const QString&, const SentenceRecord&), EventPump& pump) {
    RecordIds ids;
    for (qsizetype first = 0; first < records.size(); first += kRowsPerBatch) {
        ids.readClock();
        QList<QStringList> rows;
        const qsizetype last = qMin(first + kRowsPerBatch, records.size());
        for (qsizetype i = first; i < last; ++i) {
            rows.append(rowOf(ids.next(), records.at(i)));
        }
        if (!db::executeForEach(insert, rows, gUserConnStr)) {
            return false;
        }
        pump.pump();
    }
    return true;
}

bool replaceSentences(const ServiceRecords& records, EventPump& pump) {
    return db::execute("delete from errsentence where 1=1 ", gUserConnStr) &&
           db::execute("delete from UserSntn where 1=1 ", gUserConnStr) &&
           insertRows("insert into UserSntn values ( ?, ?, ?, ? )", records.correct,
                      correctSentenceRow, pump) &&
           insertRows("insert into errsentence values ( ?, ?, ?, ?, ? )", records.wrong,
                      wrongSentenceRow, pump);
}

// Both databases change together or not at all, also when the program dies
// while committing: one commit covers both files.
bool replaceLocalRecords(const ServiceRecords& records) {
    EventPump pump;
    db::Transaction both(gUserConnStr, gCourseConnStr);
    if (!both.isActive() || !replaceSentences(records, pump) ||
        !writeProgress(records.progress, gCourseConnStr, [&pump] { pump.pump(); })) {
        return false;
    }
    return both.commit();
}

}  // namespace

void frmMain::SyncProcess(bool pNeedReload) {
    // Nothing that ends meanwhile (a search, the reopening of the course, a
    // message) gives the main window back before the sync ends: a second
    // sync or a page build would take over the please-wait box.
    const MainWindowHold whileSyncing;
    BuildConnStrings();
    FormInstance<frmMessage>::get()->ProgressMsgBox(gOldPno.isEmpty() ? "3004" : "3005", 0,
                                                    QString(), "0");
    doEvents();

    QString refusalMessage;
    const std::optional<ServiceRecords> records = fetchServiceRecords(refusalMessage);
    const bool synced = records && replaceLocalRecords(*records);
    if (synced && pNeedReload) {
        gReloadDone = false;
        tmrReloadClassWaitProc.start();
        // The reload runs inside this wait; a timer stopped before its tick
        // would leave nothing to wait for.
        waitUntil([this] { return gReloadDone || !tmrReloadClassWaitProc.isActive(); });
    }
    FormInstance<frmMessage>::unload();
    if (!synced) {
        // Records that came but could not be stored tell of the databases
        // here, or of the disk that refused them.
        MessageBoxAndWait(
            records ? RecordsNotStoredMessage(db::lastFailureWasDiskRefusal()) : refusalMessage, 1,
            "OK", "1");
        return;
    }
    tmrSyncMessageWaitTag = "SYNC";
    tmrSyncMessageWait.start();
}
