#include "startup/signinreplies.h"

#include <algorithm>
#include <QStringList>

#include "shared/helpers.h"

namespace {

constexpr int kAllowedCoursesField = 2;

}  // namespace

QString accountServerOfReply(const QString& pReply) {
    return Trim(pReply.mid(3)).remove('#');
}

QString allowedCoursesOfReply(const QString& pReply) {
    return pReply.split('#').value(kAllowedCoursesField);
}

bool isAllowedCourse(const QString& pAllowedCourses, const QString& pCourseId) {
    const QStringList allowed = pAllowedCourses.split('|');
    return std::any_of(allowed.begin(), allowed.end(), [&pCourseId](const QString& course) {
        return !Trim(course).isEmpty() && Trim(course).compare(pCourseId, Qt::CaseInsensitive) == 0;
    });
}
