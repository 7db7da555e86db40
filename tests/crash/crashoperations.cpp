#include "tests/crash/crashoperations.h"

#include <QDate>

#include "shared/globals.h"

namespace crashops {

QString settingValue(int which) {
    return which == 0 ? QStringLiteral("第一個值 first") : QStringLiteral("第二個值, second");
}

QString registryCourse(int which) {
    return which == 0 ? QStringLiteral("AAAA") : QStringLiteral("BBBBBB");
}

QString pageText(int which) {
    const QString line = which == 0 ? QStringLiteral("<p>第一頁 first page</p>\r\n")
                                    : QStringLiteral("<p>第二頁 the second page</p>\r\n");
    return line.repeated(20000);
}

void setPlan(int which) {
    gCourseName = QStringLiteral("示範課程");
    gScheduleType = which == 0 ? QStringLiteral("日以繼夜型") : QStringLiteral("勤奮好學型");
    gScheduleDays = which == 0 ? 20 : 40;
    gScheduleStart = which == 0 ? QDate(2024, 1, 1) : QDate(2024, 2, 15);
    gScheduleEnd = gScheduleStart.addDays(gScheduleDays);
}

QString serverName(int which) {
    return which == 0 ? QStringLiteral("alpha.example:8080") : QStringLiteral("beta.example/lxq");
}

QString clickedNodeKey(int which) {
    return which == 0 ? QStringLiteral("QUIZ_U1000101") : QStringLiteral("QUIZ_U2000102");
}

}  // namespace crashops
