#pragma once

#include <QString>

// A course's folder and files are named by its id, which is upper case, but
// an installed course keeps the names that its package gave them, in any
// case: every path of a course is built here, with each name as it stands on
// disk.

// pFolder + "/" + pName, with pName as pFolder holds it apart from case (its
// exact name first); pName as given when pFolder holds no such entry, the
// path of a file still to be made.
QString PathOnDisk(const QString& pFolder, const QString& pName);

// The course's folder in the product folder.
QString CourseFolder(const QString& pCourseId);
// The course's descriptor file, beside its folder.
QString CourseDescriptorFile(const QString& pCourseId);
// The file in the course's folder that keeps the version of its data.
QString CourseVersionFile(const QString& pCourseId);
