#include "workspace/errorstatisticspage.h"

#include <QUrl>

#include "platform/db.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "workspace/pagetext.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Q = QStringLiteral("\"");

// extendArea opens or closes a category; selectTD highlights the clicked
// code's cell and returns the one highlighted before to the page colour.
const char* const kScript[] = {
    "<script>",
    "     oldSelectTD = '';",
    "function extendArea(pCode)",
    "{",
    " var thisCode = 'div'+ pCode ; ",
    " var thisImgOff = 'imgoff'+ pCode ; ",
    " var thisImgOn = 'imgon'+ pCode ; ",
    " if (document.getElementById(thisCode).style.display == 'inline')",
    " {",
    "     document.getElementById(thisCode).style.display='none';",
    "     document.getElementById(thisImgOff).style.display='inline';",
    "     document.getElementById(thisImgOn).style.display='none';",
    " }",
    " else",
    " {",
    "     document.getElementById(thisCode).style.display='inline';",
    "     document.getElementById(thisImgOff).style.display='none';",
    "     document.getElementById(thisImgOn).style.display='inline';",
    " }",
    "}",
    "function selectTD(pTDCode)",
    "{",
    "     if (oldSelectTD != '')",
    "     {",
    "     document.getElementById(oldSelectTD).style.background='#585858';",
    "     }",
    "     if (pTDCode != '')",
    "     {",
    "     document.getElementById(pTDCode).style.background='#000000';",
    "     }",
    "     oldSelectTD = pTDCode;",
    "}",
    "</script>",
};

QString lines(const QStringList& parts) {
    return parts.join(CRLF) + CRLF;
}

QString scriptBlock() {
    QString block;
    for (const char* line : kScript) {
        block += QString::fromUtf8(line) + CRLF;
    }
    return block;
}

QString introductionTable(const QString& colour, const QString& text) {
    return lines({"<table border='0' width='99%' id='table1'>",
                  "<tr><td height='55' align='left' colspan='2' width='100%' "
                  "style='font-family: Arial; font-size: 15px; color: " +
                      colour + "; line-height:180%;'>",
                  text, "</td></tr>", "</table>"});
}

}  // namespace

ErrorStatisticsPage::ErrorStatisticsPage(Counts counts, const QString& pictureFolder)
    : mCounts(counts), mPictureFolder(pictureFolder) {}

QString ErrorStatisticsPage::build() {
    mStatistics = lines({"<table border='0' width='95%' id='table1'>"});
    mCodeRows = 0;
    const bool readable = databasesReadable();
    db::Recordset categories;
    if (readable && categories.open("select * from errtype order by errtype_id", gEngineConnStr)) {
        for (; !categories.eof(); categories.moveNext()) {
            const QString id = Trim(categories.text("errtype_id"));
            const qint64 count = categoryCount(id);
            if (count > 0) {
                appendCategory(id, Trim(categories.text("errtype")), count);
            }
        }
    }
    mStatistics += lines({"</table>"}) + GetHtmlHeader("FOOTER");

    const QString head = GetHtmlHeader("HEADER", "#585858") + scriptBlock() +
                         lines({"<body scroll='auto'  ONDRAGSTART='window.event.returnValue=false' "
                                "ONCONTEXTMENU='window.event.returnValue=false' "
                                "onSelectStart='event.returnValue=false'>",
                                "<div align='center'>"});
    return head + introduction(readable) + mStatistics;
}

// A list that cannot be read is no proof of a learner without errors.
bool ErrorStatisticsPage::databasesReadable() const {
    const QString learnerTable = mCounts == Counts::WrongSentences ? QStringLiteral("errsentence")
                                                                   : QStringLiteral("mistakes");
    db::Recordset learner;
    db::Recordset engine;
    if (learner.open("select count(*) from " + learnerTable, gUserConnStr) &&
        engine.open("select count(*) from errmain", gEngineConnStr)) {
        return true;
    }
    qWarning("Error statistics cannot be read: %s%s", qUtf8Printable(learner.lastError()),
             qUtf8Printable(engine.lastError()));
    return false;
}

qint64 ErrorStatisticsPage::categoryCount(const QString& id) const {
    const QString condition = "where errcode like '" + SqlText(id) + "%'";
    if (mCounts == Counts::WrongSentences) {
        return GetSqlCount("select count(*) from errsentence " + condition, gUserConnStr);
    }
    if (GetSqlCount("select count(*) from mistakes " + condition, gUserConnStr) <= 0) {
        return 0;
    }
    db::Recordset sum("select SUM(times) as sumCounts from mistakes " + condition, gUserConnStr);
    return sum.eof() ? 0 : sum.field("sumCounts").toLongLong();
}

qint64 ErrorStatisticsPage::codeCount(const QString& code) const {
    const QString condition = "where errcode = '" + SqlText(code) + "'";
    if (mCounts == Counts::WrongSentences) {
        return GetSqlCount("select count(*) from errsentence " + condition, gUserConnStr);
    }
    if (GetSqlCount("select count(*) from mistakes " + condition, gUserConnStr) <= 0) {
        return 0;
    }
    db::Recordset row("select * from mistakes " + condition, gUserConnStr);
    return row.eof() ? 0 : row.field("times").toLongLong();
}

void ErrorStatisticsPage::appendCategory(const QString& id, const QString& name, qint64 count) {
    const QString idText = pagetext::html(id);
    const QString idScript = pagetext::scriptString(id);
    mStatistics += lines({
        "<tr><td onclick=" + Q + "javascript:selectTD('');" + Q +
            " align='left' colspan='2' width='100%'>",
        "<a style='text-decoration: none;' href=" + Q + "javascript:extendArea('" + idScript +
            "');" + Q + " onclick=" + Q + "document.location.href='rem:clear';" + Q + ">",
        "<img id = 'imgoff" + idText + "' src='" + picture("folder-off.gif") +
            "' border='0' style='display:inline;'>",
        "<img id = 'imgon" + idText + "' src='" + picture("folder-on.gif") +
            "' border='0' style='display:none;'>",
        "<font style='font-family: Arial; font-size: 15px; color: #FFCC00'>" +
            pagetext::html(name) + "</font>",
        "&nbsp;&nbsp;&nbsp;&nbsp;<font style='font-family: Arial; font-size: 14px; color: "
        "#FFCC00'>" +
            FormatNumber(count) + "</font>",
        "</a>",
        "</td>",
        "</tr>",
        "<tr><td align='left' colspan='2' width='100%'>",
        "<table width='100%' id='div" + idText + "' style='display:none;'>",
    });
    appendCodes(id);
    mStatistics += lines({"</table>", "</td></tr>"});
}

void ErrorStatisticsPage::appendCodes(const QString& id) {
    db::Recordset codes(
        "select * from errmain where errcode like '" + SqlText(id) + "%' order by errcode",
        gEngineConnStr);
    for (; !codes.eof(); codes.moveNext()) {
        const QString code = Trim(codes.text("errcode"));
        const QVariant outline = codes.field("outline");
        const qint64 count = codeCount(code);
        if (count > 0) {
            appendCode(code, outline.isNull() ? QStringLiteral("Null") : Trim(outline.toString()),
                       count);
            ++mCodeRows;
        }
        doEvents();
    }
}

// The cell's id and the id that its click highlights are spelt alike: the
// page's browser finds element ids case-sensitively.
void ErrorStatisticsPage::appendCode(const QString& code, const QString& outline, qint64 count) {
    const QString codeScript = pagetext::scriptString(code);
    mStatistics += lines({
        "<tr>",
        "<td width='5%'></td>",
        "<td id='td_" + pagetext::html(code) + "' width='95%' align='left'>",
        "<a style='text-decoration: none;' href='javascript:;' onclick=" + Q +
            "javascript:selectTD('td_" + codeScript +
            "');document.location.href='cmd:errcode:" + codeScript + "';" + Q + ">",
        "<font style='font-family: Arial; font-size: 12px; color: #FFFFFF'>" +
            pagetext::html(outline) + "</font>",
        "</a>",
        "&nbsp;&nbsp;&nbsp;&nbsp;<font style='font-family: Arial; font-size: 12px; color: "
        "#FFCC00'>" +
            FormatNumber(count) + "</font>",
        "</td>",
        "</tr>",
    });
}

QString ErrorStatisticsPage::introduction(bool readable) const {
    if (!readable) {
        return introductionTable("#FFFFCC", "目前無法讀取犯錯記錄，請稍後再試一次。");
    }
    if (mCodeRows != 0) {
        return introductionTable(
            "#66FFFF",
            "以下是依據您的犯錯類別所歸納整理的記錄。<br>您可以點選某大分類以展開其下的小分類，"
            "並點選某項小分類，即可列出該類別中的錯誤造句。");
    }
    return introductionTable("FFFFCC", "目前尚無任何犯錯記錄。");
}

QString ErrorStatisticsPage::picture(const QString& name) const {
    return pagetext::html(
        QUrl::fromLocalFile(mPictureFolder + "/" + name).toString(QUrl::FullyEncoded));
}
