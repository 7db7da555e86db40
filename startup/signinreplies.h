#pragma once

#include <QString>

// The parts of the account service's replies that the sign-in keeps.

// The server named by an "OK" reply of the account server's lookup
// ("OK#server#"), trimmed and without its "#".
QString accountServerOfReply(const QString& pReply);
// The courses that a sign-in reply allows, "|"-separated: its third
// "#"-field, "" when the reply has fewer fields.
QString allowedCoursesOfReply(const QString& pReply);
// Whether pCourseId is one of pAllowedCourses, blanks around an entry and
// letter case making no difference.
bool isAllowedCourse(const QString& pAllowedCourses, const QString& pCourseId);
