#include "workspace/frmSample.h"

#include <QLabel>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "workspace/pagetext.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");
constexpr int kTopTwips = 1500;
const QStringList kTabCaptions{"只顯示中文", "只顯示英文", "中英文顯示"};

QString row(const QString& colour, const QString& text) {
    return "<tr><td style='font-family: Arial; font-size: 12pt; color: " + colour + "'>" + CRLF +
           "<li>" + pagetext::html(text) + "</li>" + CRLF + "</td></tr>" + CRLF;
}

QString tealRow(const QString& text) {
    return row("#008080", text);
}

QString greyRow(const QString& text) {
    return row("#666666", text);
}

}  // namespace

frmSample::frmSample() : ToolWindow(&gSampleOpen) {
    createTabs(picInfoMenu.data(), lblInfoMenu.data(), int(picInfoMenu.size()));
}

void frmSample::Form_Load() {
    openAtRightEdge(kTopTwips);
    mViewMode = kChineseOnly;
    SetInfoMenu(mViewMode, true);
    SetDefaultValue();
}

void frmSample::picInfoMenu_Click(int Index) {
    mViewMode = Index;
    SetInfoMenu(mViewMode, true);
    SetDefaultValue();
}

void frmSample::SetInfoMenu(int pIndex, bool pReset) {
    paintTabs(pIndex, pReset, kTabCaptions);
}

void frmSample::SetDefaultValue() {
    lblCaption->setText("造句範例");
    clearList();
    int count = 0;
    QString page = listPageHead("<td align='left' width='100%'>") + exampleRows(&count);
    if (!gQuizSelected) {
        page += "<font color='#008800'>選項非題型項目,無法提供例句資訊...</font>" + CRLF;
    } else if (count < 1) {
        page += "<font color='#FF0000'>抱歉！本題無例句資訊。</font>" + CRLF;
    }
    showList(page + listPageFoot());
}

QString frmSample::exampleRows(int* count) const {
    db::Recordset examples("select * from example where qcode = '" + SqlText(questionCode()) + "'",
                           gCourseConnStr);
    QString rows;
    for (; !examples.eof(); examples.moveNext()) {
        const QString english = Trim(examples.text("Sentence"));
        const QString chinese = Trim(examples.text("CHINESE"));
        switch (mViewMode) {
            case kChineseOnly:
                rows += tealRow(chinese);
                break;
            case kEnglishOnly:
                rows += tealRow(english);
                break;
            default:
                rows += tealRow(english) + greyRow(chinese);
                break;
        }
        ++*count;
    }
    return rows;
}

void frmSample::unloadForm() {
    FormInstance<frmSample>::unload();
}
