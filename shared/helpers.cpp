#include "shared/helpers.h"

#include <cmath>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QUrl>

#include "platform/db.h"
#include "platform/process.h"

namespace {

constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyCtrlV = 22;
constexpr int kKeySpace = 32;
constexpr int kKeyDash = 45;
constexpr int kKeyDot = 46;
constexpr int kKeyUnderscore = 95;

bool isDigitKey(int key) {
    return key >= '0' && key <= '9';
}

bool isLetterKey(int key) {
    return (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
}

int letterInCase(int key, const QString& pCase) {
    if (pCase == "UPPER") {
        return QChar(key).toUpper().unicode();
    }
    if (pCase == "LOWER") {
        return QChar(key).toLower().unicode();
    }
    return key;
}

// A field's value as the whole number that a count query gives; a value that
// is not a number counts as a failed query.
qint64 countFromField(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::UInt:
            return value.toLongLong();
        default:
            break;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? RoundHalfEven(number) : 0;
}

bool openWithDesktop(const QString& pUrl) {
    return QDesktopServices::openUrl(QUrl(pUrl, QUrl::TolerantMode));
}

bool openWithXdgOpen(const QString& pUrl) {
    return process::startDetached("xdg-open", {pUrl});
}

}  // namespace

QString GetErrCode(const QString& pErrText) {
    QString text = pErrText;
    text.remove('!');
    const qsizetype hash = text.indexOf('#');
    if (hash >= 0) {
        text.truncate(hash);
    }
    return Trim(text).left(6);
}

QString GetHtmlHeader(const QString& pPart, const QString& pBgColor) {
    if (pPart == "HEADER") {
        const QString colour = pBgColor.isEmpty() ? QStringLiteral("#BBD1FF") : pBgColor;
        return QStringLiteral(
                   "<html>\r\n"
                   "<head>\r\n"
                   "<meta http-equiv='Content-Type' content='text/html; "
                   "charset=big5'>\r\n"
                   "<title></title>\r\n"
                   "</head>\r\n"
                   "<style>\r\n"
                   "body {\r\n") +
               "   border-style:none; background-color: " + colour + ";\r\n" +
               QStringLiteral(
                   "}\r\n"
                   "</style>\r\n");
    }
    if (pPart == "FOOTER") {
        return QStringLiteral("</body>\r\n</html>\r\n");
    }
    return QString();
}

qint64 GetSqlCount(const QString& pSql, const QString& pConn) {
    db::Recordset recordset;
    if (!recordset.open(pSql, pConn) || recordset.eof() || recordset.fieldCount() == 0) {
        return 0;
    }
    return countFromField(recordset.field(0));
}

bool FileExists(const QString& pPath) {
    const QFileInfo info(pPath);
    return !pPath.isEmpty() && info.exists() && !info.isDir();
}

bool FolderExists(const QString& pPath) {
    const QFileInfo info(pPath);
    return !pPath.isEmpty() && info.isDir();
}

QString GetUniqueID() {
    const QDateTime epoch(QDate(2006, 1, 1), QTime(0, 0, 0), Qt::LocalTime);
    const qint64 seconds = epoch.secsTo(QDateTime::currentDateTime());
    const int suffix = int(QRandomGenerator::global()->bounded(99999)) + 1;
    return QString::number(seconds) + QStringLiteral("%1").arg(suffix, 5, 10, QChar('0'));
}

QString GetDateString(const QDate& pDate, const QString& pSep) {
    return QString::number(pDate.year()) + pSep + QString::number(pDate.month()) + pSep +
           QString::number(pDate.day());
}

int KeyPressPno(int pKeyAscii, const QString& pCase, bool pAllowDash) {
    if (pKeyAscii == kKeyEnter || pKeyAscii == kKeyBackspace || isDigitKey(pKeyAscii) ||
        pKeyAscii == kKeyCtrlV) {
        return pKeyAscii;
    }
    if (pKeyAscii == kKeyDash || pKeyAscii == kKeySpace) {
        return pAllowDash ? pKeyAscii : 0;
    }
    if (isLetterKey(pKeyAscii)) {
        return letterInCase(pKeyAscii, pCase);
    }
    return 0;
}

int KeyPressLogin(int pKeyAscii, const QString& pCase, bool pAllowSpace) {
    if (pKeyAscii == kKeyEnter || pKeyAscii == kKeyBackspace || isDigitKey(pKeyAscii) ||
        pKeyAscii == kKeyDash || pKeyAscii == kKeyDot || pKeyAscii == kKeyUnderscore ||
        pKeyAscii == kKeyCtrlV) {
        return pKeyAscii;
    }
    if (pKeyAscii == kKeySpace) {
        return pAllowSpace ? pKeyAscii : 0;
    }
    if (isLetterKey(pKeyAscii)) {
        return letterInCase(pKeyAscii, pCase);
    }
    return 0;
}

// Windows virtual-key codes: letters, digits, the number pad and F1 to F11,
// arrows, punctuation keys, End, Home, Delete, Backspace, Space and Enter.
int KeyDownInput(int pKeyCode) {
    const auto inRange = [pKeyCode](int first, int last) {
        return pKeyCode >= first && pKeyCode <= last;
    };
    const bool kept = inRange(65, 90) || inRange(48, 57) || inRange(97, 122) || inRange(37, 40) ||
                      pKeyCode == 58 || pKeyCode == 186 || pKeyCode == 188 || pKeyCode == 189 ||
                      pKeyCode == 190 || pKeyCode == 191 || pKeyCode == 222 || pKeyCode == 35 ||
                      pKeyCode == 36 || pKeyCode == 46 || pKeyCode == 8 || pKeyCode == 32 ||
                      pKeyCode == 13;
    return kept ? pKeyCode : 0;
}

bool IsEmailValid(const QString& pEmail) {
    if (pEmail.size() < 6 || !pEmail.contains('@') || !pEmail.contains('.')) {
        return false;
    }
    const auto isMark = [](QChar character) { return character == '@' || character == '.'; };
    return !isMark(pEmail.front()) && !isMark(pEmail.back());
}

void OpenUrlInBrowser(const QString& pUrl) {
    if (openWithDesktop(pUrl) || openWithXdgOpen(pUrl)) {
        return;
    }
    QMessageBox::critical(nullptr, QStringLiteral("發生無法預期錯誤"),
                          QStringLiteral("無法正常啟動瀏覽器!"));
}

QString GetVersionDigit(const QString& pVersion) {
    const qsizetype firstDot = pVersion.indexOf('.');
    if (firstDot < 0) {
        return QString();
    }
    const qsizetype nextDot = pVersion.indexOf('.', firstDot + 1);
    const QString part = pVersion.mid(firstDot + 1, nextDot < 0 ? -1 : nextDot - firstDot - 1);
    return part.right(2).left(1);
}

QString RecordsNotStoredMessage(bool pRefusedByDisk) {
    return pRefusedByDisk ? QStringLiteral("29981") : QStringLiteral("29971");
}

QString Trim(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == ' ') {
        ++first;
    }
    while (last > first && text.at(last - 1) == ' ') {
        --last;
    }
    return text.mid(first, last - first);
}

QString SqlText(const QString& value) {
    return db::SqlText(value);
}

// Grouped by thousands with "," as the program's Taiwanese locale does,
// whatever the locale of the machine.
QString FormatNumber(qint64 value) {
    const QString digits = QString::number(value).remove('-');
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits.at(i);
    }
    return value < 0 ? "-" + grouped : grouped;
}

qint64 RoundHalfEven(double value) {
    const double rounded = std::nearbyint(value);
    // Beyond the range of qint64 the conversion would be undefined.
    constexpr double kLimit = 9.2233720368547748e18;
    if (!std::isfinite(rounded) || rounded >= kLimit || rounded < -kLimit) {
        return 0;
    }
    return qint64(rounded);
}
