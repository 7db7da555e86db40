#pragma once

#include <QString>

// Builds a course package from its readable source: entries "<ID>/..." (the
// course database with its texts scrambled, an empty learner database, the
// scrambled unit pages as .xtm files, the pictures) and the descriptor file
// "<ID>.lxs", so that unpacking the package into the product folder
// installs the course.
bool buildCoursePackage(const QString& sourceFolder, const QString& schemaFolder,
                        const QString& packagePath, QString* error);
