#include "workspace/frmSentence.h"

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
constexpr int kTopTwips = 6000;
constexpr int kUnitCodeLength = 4;
const QStringList kTabCaptions{"本單元", "本題"};

QString redLine(const QString& text) {
    return "<font color='#FF0000'>" + text + "</font>" + CRLF;
}

}  // namespace

frmSentence::frmSentence() : ToolWindow(&gSentenceOpen) {
    createTabs(picInfoMenu.data(), lblInfoMenu.data(), int(picInfoMenu.size()));
}

void frmSentence::Form_Load() {
    openAtRightEdge(kTopTwips);
    mInfoMenuIndex = kThisQuestion;
    SetInfoMenu(mInfoMenuIndex, true);
    SetDefaultValue();
}

void frmSentence::picInfoMenu_Click(int Index) {
    mInfoMenuIndex = Index;
    SetInfoMenu(Index, true);
    SetDefaultValue();
}

void frmSentence::SetInfoMenu(int pIndex, bool pReset) {
    paintTabs(pIndex, pReset, kTabCaptions);
}

void frmSentence::SetDefaultValue() {
    lblCaption->setText("我的造句");
    const QString unitCode = (gQuizSelected ? gUnitKey : gNodeKey).left(kUnitCodeLength);
    if (gEdition != "LXV") {
        showServicePage(unitCode, questionCode());
        return;
    }
    showLocalList(unitCode, questionCode());
}

void frmSentence::showServicePage(const QString& unitCode, const QString& questionCode) {
    webMain->Navigate2(gServerURL + "p_show_ok_sentence.asp" + "?key=quillmarrowed" + "&regid=" +
                       pagetext::queryValue(gPno) + "&onquiz=" + (gQuizSelected ? "Y" : "N") +
                       "&flag=" + QString::number(mInfoMenuIndex) + "&qcode=" +
                       pagetext::queryValue(mInfoMenuIndex == kThisUnit ? unitCode : questionCode));
    doEvents();
}

void frmSentence::showLocalList(const QString& unitCode, const QString& questionCode) {
    clearList();
    const QString sql =
        mInfoMenuIndex == kThisUnit
            ? "select * from UserSntn where Qcode like '" + SqlText(unitCode) + "%'"
            : "select * from UserSntn where qcode = '" + SqlText(questionCode) + "'";
    db::Recordset sentences;
    QString page = listPageHead(
        "<td align='left' width='100%' style='font-family: Arial; font-size: 12pt; color: "
        "#008080'>");
    if (!sentences.open(sql, gUserConnStr)) {
        qWarning("Own sentences cannot be read: %s", qUtf8Printable(sentences.lastError()));
        page += redLine("抱歉！目前無法讀取您的造句記錄。");
    } else if (sentences.eof()) {
        page += emptyListLine();
    }
    // Sentences are stored with "’" for "'".
    for (; !sentences.eof(); sentences.moveNext()) {
        const QString sentence = Trim(sentences.text("Sentence")).replace("’", "'");
        page += "<li>" + CRLF + pagetext::html(sentence) + CRLF + "</li>" + CRLF;
    }
    showList(page + listPageFoot());
}

QString frmSentence::emptyListLine() const {
    if (mInfoMenuIndex == kThisUnit) {
        return redLine("抱歉！本單元無歷史造句。");
    }
    return redLine(gQuizSelected ? "抱歉！本題無歷史造句。" : "選項非題型項目，無法提供歷史造句。");
}

void frmSentence::unloadForm() {
    FormInstance<frmSentence>::unload();
}
