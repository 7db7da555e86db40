#include "standin/recordscripts.h"

#include "standin/recordbook.h"
#include "standin/scripthelpers.h"
#include "standin/scripttable.h"

using namespace scripthelpers;

namespace {

RecordBook recordBook(const ScriptCall& call) {
    return RecordBook(call.env.store, call.env.grader);
}

// The upload arrives in a hidden browser that nobody reads; the page still
// says what happened, for whoever looks.
ScriptReply uploadAnswer(const QString& answer) {
    return ScriptReply::page(htmlPage(answer, htmlEscape(answer)));
}

ScriptReply upload(const ScriptCall& call, const QString& accountField) {
    const QString pno = call.fields.value(accountField);
    const QString course = call.fields.value("courseId");
    const QString qcode = call.fields.value("qcode");
    if (!accountExists(call.env.store, pno)) {
        return uploadAnswer("ERR_NOTFOUND");
    }
    if (!passwordMatches(call.env.store, pno, call.fields.value("pass"))) {
        return uploadAnswer("ERR_WRONG_PASSWORD");
    }
    if (course.isEmpty() || qcode.isEmpty()) {
        return uploadAnswer("ERR_PARAMETER");
    }
    recordBook(call).addSentence(pno, course, qcode, call.fields.value("flag"),
                                 call.fields.value("errcode"), call.fields.value("s"));
    return uploadAnswer("OK_FINISH");
}

ScriptReply syncRecords(const ScriptCall& call) {
    const QString kind = call.fields.value("tp");
    const QString pno = call.fields.value("pno");
    const QString course = call.fields.value("courseId");
    const QString fromPno = call.fields.value("frompno");
    if (!accountExists(call.env.store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    RecordBook records = recordBook(call);
    if (kind == "ok") {
        // The import: the other account's records join this one's before
        // the three sync requests read them.
        if (!fromPno.isEmpty() && fromPno != pno && accountExists(call.env.store, fromPno)) {
            records.mergeFrom(pno, fromPno, course);
        }
        return ScriptReply::text(records.correctRecords(pno, course));
    }
    if (kind == "err") {
        return ScriptReply::text(records.wrongRecords(pno, course));
    }
    return ScriptReply::text("ERR_TYPE");
}

ScriptReply progressOf(const ScriptCall& call, const QString& accountField) {
    const QString pno = call.fields.value(accountField);
    if (!accountExists(call.env.store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    return ScriptReply::text(recordBook(call).progressItems(pno, call.fields.value("courseid")));
}

ScriptReply mistakesOf(const ScriptCall& call) {
    const QString pno = call.fields.value("regid");
    if (!accountExists(call.env.store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    return ScriptReply::text(recordBook(call).mistakeItems(pno, call.fields.value("courseid")));
}

ScriptReply resetRecords(const ScriptCall& call) {
    const QString pno = call.fields.value("pno");
    if (!accountExists(call.env.store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    const bool done =
        recordBook(call).reset(pno, call.fields.value("courseId"), call.fields.value("tp"));
    return ScriptReply::text(done ? QStringLiteral("OK_") : QStringLiteral("ERR_TYPE"));
}

}  // namespace

void registerRecordScripts(ScriptTable& table) {
    table.add("p_lxv_proc_sentence.asp", FieldForm::BrowserForm,
              [](const ScriptCall& call) { return upload(call, "pno"); });
    table.add("p_proc_sentence.asp", FieldForm::BrowserForm,
              [](const ScriptCall& call) { return upload(call, "regid"); });
    table.add("p_lxv_sync_client.asp", FieldForm::Raw, syncRecords);
    table.add("p_lxv_getprogress.asp", FieldForm::Raw,
              [](const ScriptCall& call) { return progressOf(call, "pno"); });
    table.add("p_getprogress.asp", FieldForm::Raw,
              [](const ScriptCall& call) { return progressOf(call, "regid"); });
    table.add("p_getmistakes.asp", FieldForm::Raw, mistakesOf);
    table.add("p_lxv_proc_reset.asp", FieldForm::Raw, resetRecords);
}
