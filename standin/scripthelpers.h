#pragma once

#include <QDate>
#include <QString>

class Store;

// Small pieces the scripts share: the service's date form, safe page text and
// the account checks.
namespace scripthelpers {

// Year, month and day joined by "/" without leading zeros: the form the
// program turns back into dates.
QString dateText(const QDate& date = QDate::currentDate());

// Learner text placed in a page is escaped, so a sentence cannot inject
// markup or script into the pages the program shows.
QString htmlEscape(const QString& text);
// A whole Big5 page around a body.
QString htmlPage(const QString& title, const QString& body);
// A sentence whose faulty stretches are enclosed in "*": each stretch in a
// red span, as the program's own list of wrong sentences shows them.
QString markedSentenceHtml(const QString& marked);

bool accountExists(Store& store, const QString& pno);
bool passwordMatches(Store& store, const QString& pno, const QString& password);
// The account's courses, as the sign-in reply and the import check see them.
QStringList allowedCourses(Store& store, const QString& pno);

}  // namespace scripthelpers
