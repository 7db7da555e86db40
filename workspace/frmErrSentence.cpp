#include "workspace/frmErrSentence.h"

#include <QLabel>

#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "workspace/pagetext.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");
constexpr int kTopTwips = 1500;

QString markedSpan(const QString& segment) {
    return "<span style='background-color: #FF0000'><font color='#FFFFFF'>" +
           pagetext::html(segment) + "</font></span>";
}

}  // namespace

frmErrSentence::frmErrSentence() : ToolWindow(&gErrSentenceOpen) {}

void frmErrSentence::Form_Load() {
    openAtRightEdge(kTopTwips);
    SetDefaultValue();
}

void frmErrSentence::SetDefaultValue() {
    lblCaption->setText("犯錯句子");
}

void frmErrSentence::ShowErrSentence(const QString& pErrcode) {
    if (gEdition == "LXV") {
        showLocalList(pErrcode);
    } else {
        webMain->Navigate2(gServerURL + "p_show_err_sentence.asp" + "?key=quillmarrowed" +
                           "&regid=" + pagetext::queryValue(gPno) +
                           "&errcode=" + pagetext::queryValue(pErrcode));
    }
    doEvents();
}

void frmErrSentence::showLocalList(const QString& pErrcode) {
    clearList();
    QString page = listPageHead("<td align='left' width='100%'>");
    db::Recordset sentences;
    if (!sentences.open("select * from errsentence where errcode = '" + SqlText(pErrcode) + "' ",
                        gUserConnStr)) {
        qWarning("Wrong sentences cannot be read: %s", qUtf8Printable(sentences.lastError()));
        page += "<font color='#FF0000'>抱歉！目前無法讀取您的犯錯記錄。</font>" + CRLF;
    }
    for (; !sentences.eof(); sentences.moveNext()) {
        page +=
            "<tr><td height='24' style='font-family: Arial; font-size: 12pt; color: "
            "#008080'>" +
            CRLF + "<li>" + CRLF + GetSentenceStyle(Trim(sentences.text("sentence"))) + "</li>" +
            CRLF + "</td></tr>" + CRLF;
    }
    showList(page + listPageFoot());
}

// One blank is added so that the last character, too, ends a segment; each
// segment is escaped before its marking is put round it.
QString frmErrSentence::GetSentenceStyle(const QString& pSentence) {
    const QString sentence = pSentence + ' ';
    QString result;
    QString segment;
    bool marking = true;
    for (qsizetype i = 0; i < sentence.size(); ++i) {
        const QChar character = sentence.at(i);
        if (character != '*' && i != sentence.size() - 1) {
            segment += character;
            continue;
        }
        marking = !marking;
        result += marking ? markedSpan(segment) : pagetext::html(segment);
        segment.clear();
    }
    return result;
}

void frmErrSentence::unloadForm() {
    FormInstance<frmErrSentence>::unload();
}
