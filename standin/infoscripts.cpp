#include "standin/infoscripts.h"

#include <QDateTime>
#include <QRegularExpression>

#include "standin/scripthelpers.h"
#include "standin/scripttable.h"

using namespace scripthelpers;

namespace {

// Days, start and end joined by "@", the dates as year/month/day.
bool memoIsWellFormed(const QString& memo) {
    static const QRegularExpression form(
        "^ *[0-9]+ *@ *[0-9]{4}/[0-9]{1,2}/[0-9]{1,2} *@ *[0-9]{4}/[0-9]{1,2}/[0-9]{1,2} *$");
    return form.match(memo).hasMatch();
}

ScriptReply studyPlanMemo(const ScriptCall& call) {
    Store& store = call.env.store;
    const QString pno = call.fields.value("pno");
    const QString course = call.fields.value("courseId");
    const QString action = call.fields.value("act");
    if (!accountExists(store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    if (action == "GET") {
        const QString memo =
            store.value("select memo from memos where pno = ? and course = ?", {pno, course});
        return ScriptReply::text(memo.isEmpty() ? QStringLiteral("0") : "OK#" + memo);
    }
    if (action != "PUT") {
        return ScriptReply::text("ERR_ACTION");
    }
    const QString memo = call.fields.value("setmemo");
    if (!memoIsWellFormed(memo)) {
        return ScriptReply::text("ERR_MEMO");
    }
    store.exec(
        "insert into memos (pno, course, memo) values (?, ?, ?) "
        "on conflict (pno, course) do update set memo = excluded.memo",
        {pno, course, memo});
    return ScriptReply::text("OK#" + memo);
}

ScriptReply publisherNews(const ScriptCall& call) {
    const QString id =
        call.env.store.value("select id from news where softcode = ? order by id desc limit 1",
                             {call.fields.value("softcode")});
    if (id.isEmpty()) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    return ScriptReply::text("OK_" + call.env.selfBase() + "news/" + id + ".htm");
}

ScriptReply newsPage(const ScriptCall& call) {
    const QString fileName = call.route.mid(call.route.lastIndexOf('/') + 1);
    const Store::Row news =
        call.env.store
            .rows("select title, body from news where id = ?", {QString(fileName).remove(".htm")})
            .value(0);
    if (!fileName.endsWith(".htm") || news.isEmpty()) {
        return ScriptReply::notFound();
    }
    // News bodies are written by the publisher, markup included.
    return ScriptReply::page(
        htmlPage(news.value(0), "<h3>" + htmlEscape(news.value(0)) + "</h3>\r\n" + news.value(1)));
}

ScriptReply programVersion(const ScriptCall& call) {
    const QString version = call.env.store.value("select version from versions where type = ?",
                                                 {call.fields.value("type")});
    return ScriptReply::text(version.isEmpty() ? QStringLiteral("ERR_NOTFOUND") : version);
}

ScriptReply feedback(const ScriptCall& call) {
    const FormFields& fields = call.fields;
    call.env.store.exec(
        "insert into feedback (pno, qcode, errcode, sentence, remarks, email, received) "
        "values (?, ?, ?, ?, ?, ?, ?)",
        {fields.value("pno"), fields.value("qcode"), fields.value("errcode"),
         fields.value("sentence"), fields.value("remarks"), fields.value("email"),
         QDateTime::currentDateTime().toString(Qt::ISODate)});
    return ScriptReply::page(htmlPage("OK_FINISH", "OK_FINISH"));
}

}  // namespace

void registerInfoScripts(ScriptTable& table) {
    table.add("p_all_setmemo.asp", FieldForm::Raw, studyPlanMemo);
    table.add("p_publisher_news.asp", FieldForm::Raw, publisherNews);
    table.addFolder("news/", FieldForm::NoKey, newsPage);
    table.add("p_getversion.asp", FieldForm::Raw, programVersion);
    table.add("p_feedback.asp", FieldForm::BrowserForm, feedback);
}
