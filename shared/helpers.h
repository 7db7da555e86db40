#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Small stateless procedures that many windows call.

QString GetErrCode(const QString& pErrText);
QString GetHtmlHeader(const QString& pPart, const QString& pBgColor = QString());
// The count in the first field of the first row; 0 on any error.
qint64 GetSqlCount(const QString& pSql, const QString& pConn);
bool FileExists(const QString& pPath);
bool FolderExists(const QString& pPath);
QString GetUniqueID();
QString GetDateString(const QDate& pDate, const QString& pSep);
int KeyPressPno(int pKeyAscii, const QString& pCase, bool pAllowDash);
int KeyPressLogin(int pKeyAscii, const QString& pCase, bool pAllowSpace);
int KeyDownInput(int pKeyCode);
bool IsEmailValid(const QString& pEmail);
void OpenUrlInBrowser(const QString& pUrl);
QString GetVersionDigit(const QString& pVersion);

// The message that tells that the learner's records could not be stored:
// the data folder that refused the write (29981), which another install of
// the course would not mend, or else the course's databases (29971).
QString RecordsNotStoredMessage(bool pRefusedByDisk);

// Removes blanks (U+0020) only, at both ends.
QString Trim(const QString& text);
// Doubles every "'" so that a value can stand between quotes in SQL.
QString SqlText(const QString& value);
// Grouped as the program's locale writes numbers (1234 -> "1,234").
QString FormatNumber(qint64 value);
// Rounded, halves to even.
qint64 RoundHalfEven(double value);
