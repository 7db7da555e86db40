#include <QRegularExpression>

#include "shared/helpers.h"
#include "shared/request.h"
#include "startup/frmStartup.h"
#include "startup/signinreplies.h"
#include "tests/fuzz/fuzzcheck.h"
#include "workspace/coursedescriptor.h"
#include "workspace/enginereply.h"
#include "workspace/serviceplan.h"
#include "workspace/syncreplies.h"

// One reply of the service or the checking engine, as raw bytes off the
// wire, handed to every procedure that takes a reply apart: whatever a
// server sends, each either refuses it or gives parts of the form the
// program goes on to use (in SQL, in addresses, in files).

namespace {

void checkEngineReply(const QString& reply) {
    const std::optional<EngineReply> taken = takeEngineReply(reply);
    if (!taken) {
        return;
    }
    fuzzCheck(reply.startsWith("OK_"), "only an \"OK_\" reply is taken");
    fuzzCheck(!taken->errCode.contains('#') && !taken->page.contains('#'),
              "engine fields hold no \"#\"");
    if (taken->status != "0" && taken->status != "1" && taken->status != "2") {
        fuzzCheck(taken->errCode.isEmpty() && taken->page.isEmpty(),
                  "an unknown status names no error and no page");
    }
}

void checkServicePlan(const QString& reply) {
    ServicePlan plan;
    if (!readServicePlan(reply, &plan)) {
        return;
    }
    int days = -1;
    fuzzCheck(CourseDescriptor::readWholeNumber(plan.days, &days) && days >= 0,
              "a plan's days are a whole number");
    // Each value becomes a line of the course's descriptor file.
    for (const QString& value : {plan.days, plan.start, plan.end}) {
        fuzzCheck(!value.contains('@') && !value.contains('\n') && !value.contains('\r'),
                  "a plan value is one field of one line");
    }
}

// Dates go into the databases as SQLite date text.
void checkSentences(const std::optional<QList<syncreplies::SentenceRecord>>& records) {
    static const QRegularExpression storedDate(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2}( \d{2}:\d{2}:\d{2})?$)"));
    if (!records) {
        return;
    }
    for (const syncreplies::SentenceRecord& record : *records) {
        fuzzCheck(storedDate.match(record.storedDate).hasMatch(), "a stored date is a date");
        fuzzCheck(!record.sentence.contains('\''), "a sentence holds no \"'\"");
        fuzzCheck(!record.code.contains('#') && !record.code.contains("<@>"),
                  "a code is one field");
    }
}

// Progress and error counts of the sync and of the course opening: a
// reply that begins "ERR" changes nothing; a unit id goes into SQL quoted
// and a count as a number.
void checkServiceLists(const QString& reply) {
    const auto items = syncreplies::progressItems(reply);
    const auto counts = syncreplies::mistakeCounts(reply);
    fuzzCheck(!reply.startsWith("ERR") || (!items && !counts), "an \"ERR\" reply is no list");
    for (const syncreplies::ProgressItem& item :
         items.value_or(QList<syncreplies::ProgressItem>())) {
        fuzzCheck(!item.unitId.contains(','), "a unit id is one item");
    }
    for (const syncreplies::MistakeCount& mistake :
         counts.value_or(QList<syncreplies::MistakeCount>())) {
        fuzzCheck(!mistake.code.contains(':') && !mistake.code.contains(','),
                  "a mistake item is code:count");
    }
}

void checkSignIn(const QString& reply) {
    fuzzCheck(!accountServerOfReply(reply).contains('#'), "a server name holds no \"#\"");
    const QString allowed = allowedCoursesOfReply(reply);
    fuzzCheck(!allowed.contains('#'), "the allowed courses are one field");
    const QString first = Trim(allowed.section('|', 0, 0));
    fuzzCheck(first.isEmpty() || isAllowedCourse(allowed, first), "a listed course is allowed");
    fuzzCheck(!isAllowedCourse(allowed, QString()), "no course is not allowed");
}

void checkVersion(const QString& reply) {
    if (frmStartup::IsNewerVersion(reply, "2.1.0")) {
        fuzzCheck(!reply.isEmpty() && reply.at(0).isDigit(), "a newer version is a version");
    }
    fuzzCheck(GetVersionDigit(reply).size() <= 1, "a version digit is one character");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply = BytesToBstr(fuzzBytes(data, size));
    checkEngineReply(reply);
    checkServicePlan(reply);
    checkSentences(syncreplies::correctSentences(reply));
    checkSentences(syncreplies::wrongSentences(reply));
    checkServiceLists(reply);
    checkSignIn(reply);
    checkVersion(reply);
    return 0;
}
