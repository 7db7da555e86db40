#include "workspace/studyprogresspage.h"

#include <cstdlib>

#include "platform/db.h"
#include "platform/waituntil.h"
#include "shared/descramble.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "workspace/pagetext.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");
constexpr double kSecondsPerDay = 86400.0;
constexpr double kBarWidth = 200.0;
constexpr int kLabelLength = 2;

// The root and unit rows carry a progress state as well (every reset sets
// all rows), but they are no questions: only the rows under the sub-units
// are counted, as the tree and the sub-unit rows count them.
const QString kQuestionRows = QStringLiteral(
    "and PARENT in (select UNITID from bswunit where PARENT in "
    "(select UNITID from bswunit where UNITID like '%0000')) ");

QString whole(double value) {
    return pagetext::number(value, 0);
}

double daysBetween(const QDateTime& from, const QDateTime& to) {
    return double(from.secsTo(to)) / kSecondsPerDay;
}

// The unit's name as the tree shows it: a text that does not descramble to
// anything but blanks is shown as stored.
QString readableText(const QString& stored) {
    const QString decoded = DecodeMdbString(stored);
    return Trim(decoded).isEmpty() ? stored : decoded;
}

QString cell(const QString& content) {
    return "   <TD class=style8 width=120 height=22>" + content + "</TD>" + CRLF;
}

QString barPicture(const QString& name, qint64 part, qint64 total) {
    if (part <= 0) {
        return QString();
    }
    const qint64 width = RoundHalfEven(double(part) / double(total) * kBarWidth);
    return "<IMG height=20 src='" + name + "' width=" + QString::number(width) + ">";
}

}  // namespace

StudyProgressPage::StudyProgressPage(const Plan& plan, const QDateTime& now)
    : mPlan(plan), mNow(now) {}

// A plan that has not begun expects nothing yet.
qint64 StudyProgressPage::expectedFinished(qint64 total) const {
    const double elapsed = daysBetween(QDateTime(mPlan.start, QTime(0, 0, 0)), mNow);
    if (mPlan.days == 0 || elapsed > mPlan.days) {
        return total;
    }
    if (elapsed <= 0) {
        return 0;
    }
    return RoundHalfEven(elapsed * (double(total) / mPlan.days));
}

QString StudyProgressPage::fill(const QString& templateText) const {
    QString page = templateText;
    page.replace("##scheduleType##",
                 pagetext::html(mPlan.type) + "（" + whole(mPlan.days) + "日完成）");
    page.replace("##dayStart##", GetDateString(mPlan.start, "/"));
    page.replace("##dayEnd##", GetDateString(mPlan.end, "/"));
    page.replace("##endDays##", endDays());

    const Counts counts = questionCounts();
    const qint64 expected = expectedFinished(counts.total());
    const qint64 behind = expected - counts.finished;
    const double percent =
        counts.finished != 0 && expected != 0 ? double(counts.finished) / expected * 100 : 0;

    page.replace("進度落後 ##rec_lost## 題", "##rec_lost##");
    page.replace("##today##", GetDateString(mNow.date(), "/"));
    page.replace("##rec_all##", whole(expected) + "<br><font color='#008800'>(總題數 " +
                                    whole(counts.total()) + ")</font>");
    page.replace("##rec_finish##", whole(counts.finished));
    page.replace("##rec_percent##", pagetext::number(percent, 1));
    page.replace("##rec_lost##", behind < 1 ? "進度超前 " + whole(std::abs(behind)) + " 題"
                                            : "進度落後 " + whole(behind) + " 題");
    page.replace("##elements##", unitRows());
    return page;
}

QString StudyProgressPage::endDays() const {
    const QDateTime end(mPlan.end, QTime(23, 59, 59));
    if (end < mNow) {
        return "<font color='#FF0000'>已超過 " + whole(daysBetween(end, mNow)) + " 日</font>";
    }
    return "<font color='#0000FF'>尚有 " + whole(daysBetween(mNow, end)) + " 日</font>";
}

// The row counter runs on across top units, so the colours alternate over
// the whole table.
QString StudyProgressPage::unitRows() const {
    QString rows;
    int rowNumber = 0;
    db::Recordset topUnits("select * from bswunit where UNITID like '%0000'", gCourseConnStr);
    for (; !topUnits.eof(); topUnits.moveNext()) {
        doEvents();
        const QString topId = Trim(topUnits.text("UNITID"));
        db::Recordset subUnits(
            "select * from bswunit where PARENT = '" + SqlText(topId) + "' order by UNITID",
            gCourseConnStr);
        for (; !subUnits.eof(); subUnits.moveNext()) {
            doEvents();
            const QString subId = Trim(subUnits.text("UNITID"));
            ++rowNumber;
            const QString label = readableText(subUnits.text("TEXT")).left(kLabelLength);
            rows += unitRow(rowNumber, label, countWhere("and PARENT = '" + SqlText(subId) + "' "));
        }
    }
    return rows;
}

StudyProgressPage::Counts StudyProgressPage::questionCounts() {
    return countWhere(kQuestionRows);
}

StudyProgressPage::Counts StudyProgressPage::countWhere(const QString& condition) {
    const auto count = [&condition](char state) {
        return GetSqlCount(QStringLiteral("select count(*) from bswunit where VISITED = '") +
                               state + "' " + condition,
                           gCourseConnStr);
    };
    return Counts{count('1'), count('2'), count('3')};
}

QString StudyProgressPage::unitRow(int rowNumber, const QString& label, const Counts& counts) {
    const qint64 total = counts.total();
    const double percent =
        counts.finished != 0 && total != 0 ? double(counts.finished) / total * 100 : 0;
    return (rowNumber % 2 == 1 ? "<TR vAlign=center bgColor=#FFFFFF>"
                               : "<TR vAlign=center bgColor=#CDDBC6>") +
           CRLF + "   <DIV class=style8 align=center></DIV>" + CRLF + cell(pagetext::html(label)) +
           cell(whole(total)) + cell(whole(counts.finished)) + cell(whole(counts.attempted)) +
           cell(whole(counts.notDone)) + barCell(counts) +
           "   <TD class=style8 width=120 height=32><FONT Color='#0000FF'>" + whole(percent) +
           "%</FONT></TD>" + CRLF + "<DIV></DIV></TR>" + CRLF;
}

QString StudyProgressPage::barCell(const Counts& counts) {
    const qint64 total = counts.total();
    return "   <TD class=style8 align=left><IMG height=20 src='LN_Left.bmp'>" +
           barPicture("LN_1.bmp", counts.finished, total) +
           barPicture("LN_2.bmp", counts.attempted, total) + "<IMG height=20 src='LN_CUT.bmp'>" +
           barPicture("LN_0.bmp", counts.notDone, total) +
           "<IMG height=20 src='LN_RIGHT.bmp'></TD>" + CRLF;
}
