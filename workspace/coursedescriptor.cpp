#include "workspace/coursedescriptor.h"

#include <QRegularExpression>

#include "platform/big5.h"
#include "shared/coursepaths.h"
#include "shared/helpers.h"

namespace {

constexpr int kTwentyDays = 20;
constexpr int kFortyDays = 40;
constexpr int kSixtyDays = 60;
constexpr int kEightyDays = 80;

}  // namespace

QString CourseDescriptor::pathOf(const QString& courseId) {
    return CourseDescriptorFile(courseId);
}

QString CourseDescriptor::planNameForDays(int days) {
    switch (days) {
        case kTwentyDays:
            return QStringLiteral("日以繼夜型");
        case kFortyDays:
            return QStringLiteral("勤奮好學型");
        case kSixtyDays:
            return QStringLiteral("按步就班型");
        case kEightyDays:
            return QStringLiteral("優閒達陣型");
        default:
            return QStringLiteral("自訂期限型");
    }
}

// Both forms span the whole text: a "$" at the end would also let a closing
// line break through, which the service's plan would then carry into the
// file as a line of its own.
bool CourseDescriptor::readWholeNumber(const QString& text, int* value) {
    static const QRegularExpression digits(QRegularExpression::anchoredPattern("[0-9]{1,9}"));
    const QString trimmed = Trim(text);
    if (!digits.match(trimmed).hasMatch()) {
        return false;
    }
    *value = trimmed.toInt();
    return true;
}

QDate CourseDescriptor::readDate(const QString& text) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern("([0-9]{1,4})/([0-9]{1,2})/([0-9]{1,2})"));
    const QRegularExpressionMatch match = form.match(Trim(text));
    if (!match.hasMatch()) {
        return QDate();
    }
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

bool CourseDescriptor::read(const QString& path) {
    bool ok = false;
    const QStringList lines = big5::readLines(path, &ok);
    m_lines = QStringList(kLineCount);
    m_lineCount = 0;
    if (!ok) {
        return false;
    }
    m_lineCount = int(qMin<qsizetype>(lines.size(), kLineCount));
    for (int index = 0; index < m_lineCount; ++index) {
        m_lines[index] = lines.at(index);
    }
    return true;
}

bool CourseDescriptor::write(const QString& path) const {
    return big5::writeLines(path, m_lines);
}

QString CourseDescriptor::line(int number) const {
    return number >= 1 && number <= kLineCount ? m_lines.at(number - 1) : QString();
}

void CourseDescriptor::setLine(int number, const QString& text) {
    if (number < 1 || number > kLineCount) {
        return;
    }
    m_lines[number - 1] = text;
    m_lineCount = qMax(m_lineCount, number);
}

bool CourseDescriptor::hasReadablePlan() const {
    int days = 0;
    return isComplete() && readWholeNumber(line(kDaysLine), &days);
}

bool CourseDescriptor::hasReadableDates() const {
    return planStart().isValid() && planEnd().isValid();
}

int CourseDescriptor::planDays() const {
    int days = 0;
    return hasReadablePlan() && readWholeNumber(line(kDaysLine), &days) ? days : 0;
}
