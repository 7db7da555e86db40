#include "standin/pagescripts.h"

#include "standin/scripthelpers.h"
#include "standin/scripttable.h"

using namespace scripthelpers;

namespace {

QString notice(const QString& text) {
    return "<font color='#FF0000'>" + htmlEscape(text) + "</font>";
}

QString listItems(const QList<Store::Row>& rows, bool marked) {
    QString items;
    for (const Store::Row& row : rows) {
        items += "<li>" + (marked ? markedSentenceHtml(row.value(0)) : htmlEscape(row.value(0))) +
                 "</li>\r\n";
    }
    return "<ul id='sentences'>\r\n" + items + "</ul>";
}

QString countOf(Store& store, const QString& sql, const QVariantList& binds) {
    const QString count = store.value(sql, binds);
    return count.isEmpty() ? QStringLiteral("0") : count;
}

QString progressTable(Store& store, const QString& pno, const QString& course) {
    const QVariantList binds = {pno, course};
    const QString memo = store.value("select memo from memos where pno = ? and course = ?", binds);
    const QStringList plan = memo.split('@');
    const auto row = [](const QString& label, const QString& id, const QString& value) {
        return "<tr><td>" + label + "</td><td id='" + id + "'>" + htmlEscape(value) +
               "</td></tr>\r\n";
    };
    return "<table border='1'>\r\n" +
           row("計劃天數", "days", memo.isEmpty() ? QStringLiteral("0") : plan.value(0)) +
           row("開始日期", "start", plan.value(1)) + row("結束日期", "end", plan.value(2)) +
           row("已完成題數", "finished",
               countOf(store,
                       "select count(*) from progress where pno = ? and course = ? and state = '3'",
                       binds)) +
           row("練習中題數", "attempted",
               countOf(store,
                       "select count(*) from progress where pno = ? and course = ? and state = '2'",
                       binds)) +
           row("正確句數", "correct",
               countOf(store, "select count(*) from ok_sentences where pno = ? and course = ?",
                       binds)) +
           row("錯誤句數", "wrong",
               countOf(store, "select count(*) from err_sentences where pno = ? and course = ?",
                       binds)) +
           "</table>";
}

ScriptReply progressPage(const ScriptCall& call) {
    const QString pno = call.fields.value("regid");
    if (!accountExists(call.env.store, pno)) {
        return ScriptReply::page(htmlPage("學習進度", notice("ERR_NOTFOUND")));
    }
    const QString course = call.fields.value("courseid");
    return ScriptReply::page(htmlPage("學習進度", "<h3>" + htmlEscape(course) +
                                                      " 學習進度</h3>\r\n" +
                                                      progressTable(call.env.store, pno, course)));
}

ScriptReply ownSentencesPage(const ScriptCall& call) {
    const QString pno = call.fields.value("regid");
    const QString code = call.fields.value("qcode");
    const bool wholeUnit = call.fields.value("flag") != "1";
    if (!wholeUnit && call.fields.value("onquiz") != "Y") {
        return ScriptReply::page(
            htmlPage("我的造句", notice("選項非題型項目，無法提供歷史造句。")));
    }
    // A prefix compared as text, so that "%" or "_" in a code match only
    // themselves.
    const QList<Store::Row> rows =
        wholeUnit ? call.env.store.rows(
                        "select sentence from ok_sentences where pno = ? "
                        "and substr(qcode, 1, length(?2)) = ?2 order by id",
                        {pno, code})
                  : call.env.store.rows(
                        "select sentence from ok_sentences where pno = ? and qcode = ? order by id",
                        {pno, code});
    if (rows.isEmpty()) {
        return ScriptReply::page(htmlPage(
            "我的造句", notice(wholeUnit ? "抱歉！本單元無歷史造句。" : "抱歉！本題無歷史造句。")));
    }
    return ScriptReply::page(htmlPage("我的造句", listItems(rows, false)));
}

ScriptReply wrongSentencesPage(const ScriptCall& call) {
    const QList<Store::Row> rows = call.env.store.rows(
        "select sentence from err_sentences where pno = ? and errcode = ? order by id",
        {call.fields.value("regid"), call.fields.value("errcode")});
    return ScriptReply::page(htmlPage("犯錯句子", listItems(rows, true)));
}

ScriptReply databaseEnginePage(const ScriptCall&) {
    return ScriptReply::page(
        htmlPage("資料庫引擎", "<p>本程式的資料庫已隨程式安裝，不需要另外下載資料庫引擎。</p>"));
}

// The maker's online manual, which the program shows on its manual tab and
// while no course is open.
ScriptReply manualPage(const ScriptCall&) {
    return ScriptReply::page(htmlPage(
        "Lexivo 使用手冊",
        "<h3>Lexivo 使用手冊</h3>\r\n"
        "<p>請先在左方的課程樹中選擇一個題目，依題目的要求在下方的輸入框中以英文造句，"
        "再按 Enter 鍵或「批改句子」按鈕送出批改。</p>\r\n"
        "<p>「學習進度」顯示您的進度計劃與完成情形；「犯錯記錄」依錯誤類別整理您的錯誤，"
        "點選小分類即可列出該類別的錯誤句子。</p>\r\n"
        "<p>「造句範例」、「我的造句」、「題目搜尋」與「問題回饋」各開啟一個小視窗。</p>"));
}

}  // namespace

void registerPageScripts(ScriptTable& table) {
    table.add("p_getcalcprogress.asp", FieldForm::Raw, progressPage);
    table.add("p_show_ok_sentence.asp", FieldForm::Raw, ownSentencesPage);
    table.add("p_show_err_sentence.asp", FieldForm::Raw, wrongSentencesPage);
    table.add("p_download_ace.asp", FieldForm::NoKey, databaseEnginePage);
    table.add("_htmls/LXV_manual.htm", FieldForm::NoKey, manualPage);
}
