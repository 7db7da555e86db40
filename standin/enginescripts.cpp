#include "standin/enginescripts.h"

#include <QDateTime>
#include <QRegularExpression>

#include "shared/md5.h"
#include "standin/scripthelpers.h"
#include "standin/scripttable.h"

using namespace scripthelpers;

namespace {

const char* const kResultFolder = "engine/result/";

ScriptReply engineAddress(const ScriptCall& call) {
    return ScriptReply::text("OK_" + call.env.engineBase());
}

ScriptReply engineOnline(const ScriptCall&) {
    return ScriptReply::text("ONLINE#" + dateText());
}

// Six digits: two numbers and their sum, each as its last two digits.
bool tokenIsValid(const QString& token) {
    static const QRegularExpression sixDigits("^[0-9]{6}$");
    if (!sixDigits.match(token).hasMatch()) {
        return false;
    }
    const int a = token.mid(0, 2).toInt();
    const int b = token.mid(2, 2).toInt();
    return (a + b) % 100 == token.mid(4, 2).toInt();
}

QString refusalOf(const FormFields& fields, const QString& sentence) {
    const QString pno = fields.value("pno");
    if (fields.value("pnomd5").compare(MD5(pno), Qt::CaseInsensitive) != 0) {
        return "ERR_CHECKSUM";
    }
    if (fields.value("checksum").compare(MD5(QString(sentence).remove(' ')), Qt::CaseInsensitive) !=
        0) {
        return "ERR_CHECKSUM";
    }
    if (!tokenIsValid(fields.value("p3"))) {
        return "ERR_TOKEN";
    }
    if (sentence.trimmed().isEmpty()) {
        return "ERR_EMPTY_SENTENCE";
    }
    return QString();
}

ScriptReply gradeSentence(const ScriptCall& call) {
    // Read as form text: "%20" and "+" are blanks, "%2B" is a "+".
    const QString sentence = call.fields.value("s");
    const QString refusal = refusalOf(call.fields, sentence);
    if (!refusal.isEmpty()) {
        return ScriptReply::text(refusal);
    }
    const Grader::Result result = call.env.grader.grade(sentence);
    Store& store = call.env.store;
    store.exec(
        "insert into grades (pno, qcode, sentence, status, errcode, marked, graded) "
        "values (?, ?, ?, ?, ?, ?, ?)",
        {call.fields.value("pno"), call.fields.value("cidx"), sentence, result.status,
         result.codes.join(','), result.marked,
         QDateTime::currentDateTime().toString(Qt::ISODate)});
    const QString page =
        QStringLiteral("result/%1.htm").arg(store.value("select last_insert_rowid()"));
    return ScriptReply::text("OK_" + result.status + "#" + result.errorCode() + "#" + page + "#" +
                             result.marked);
}

QString codeList(const StandinEnv& env, const QStringList& codes) {
    QString items;
    for (const QString& code : codes) {
        items += "<li>" + htmlEscape(code) + " " + htmlEscape(env.outlinesByCode.value(code)) +
                 "</li>\r\n";
    }
    return "<ul id='codes'>\r\n" + items + "</ul>";
}

ScriptReply resultPage(const ScriptCall& call) {
    const QString fileName = call.route.mid(call.route.lastIndexOf('/') + 1);
    if (!fileName.endsWith(".htm", Qt::CaseInsensitive)) {
        return ScriptReply::notFound();
    }
    const Store::Row grade =
        call.env.store
            .rows("select sentence, status, errcode, marked from grades where id = ?",
                  {fileName.chopped(4)})
            .value(0);
    if (grade.isEmpty()) {
        return ScriptReply::notFound();
    }
    const bool correct = grade.value(1) == "0";
    QString body = "<h3 id='verdict'>" + QString(correct ? "正確" : "有錯誤") + "</h3>\r\n" +
                   "<p id='sentence'>" + markedSentenceHtml(grade.value(3)) + "</p>\r\n";
    if (!correct) {
        body += codeList(call.env, grade.value(2).split(',', Qt::SkipEmptyParts));
    }
    return ScriptReply::page(htmlPage("解析結果", body));
}

}  // namespace

void registerEngineScripts(ScriptTable& table) {
    table.add("p_all_webengine_get.asp", FieldForm::Raw, engineAddress);
    table.add("engine/p_passWebEngine_conn.asp", FieldForm::Raw, engineOnline);
    table.add("engine/p_passWebEngine.asp", FieldForm::BrowserForm, gradeSentence);
    table.addFolder(kResultFolder, FieldForm::NoKey, resultPage);
}
