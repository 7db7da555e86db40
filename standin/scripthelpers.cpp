#include "standin/scripthelpers.h"

#include <QStringList>

#include "standin/store.h"

namespace scripthelpers {

QString dateText(const QDate& date) {
    return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString htmlEscape(const QString& text) {
    return text.toHtmlEscaped().replace('\'', QLatin1String("&#39;"));
}

QString htmlPage(const QString& title, const QString& body) {
    return "<html>\r\n<head>\r\n"
           "<meta http-equiv='Content-Type' content='text/html; charset=big5'>\r\n"
           "<title>" +
           htmlEscape(title) +
           "</title>\r\n</head>\r\n"
           "<body style='font-family: Arial; font-size: 12pt'>\r\n" +
           body + "\r\n</body>\r\n</html>\r\n";
}

QString markedSentenceHtml(const QString& marked) {
    QString html;
    const QStringList stretches = marked.split('*');
    for (int i = 0; i < stretches.size(); ++i) {
        const QString text = htmlEscape(stretches.at(i));
        html += i % 2 == 0 ? text
                           : "<span style='background-color: #FF0000'><font color='#FFFFFF'>" +
                                 text + "</font></span>";
    }
    return html;
}

bool accountExists(Store& store, const QString& pno) {
    return store.exists("select 1 from accounts where pno = ?", {pno});
}

bool passwordMatches(Store& store, const QString& pno, const QString& password) {
    const QList<Store::Row> rows =
        store.rows("select password from accounts where pno = ? and password is not null", {pno});
    return !rows.isEmpty() && !rows.first().first().isEmpty() && rows.first().first() == password;
}

QStringList allowedCourses(Store& store, const QString& pno) {
    return store.value("select courses from accounts where pno = ?", {pno})
        .split('|', Qt::SkipEmptyParts);
}

}  // namespace scripthelpers
