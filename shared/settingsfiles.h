#pragma once

#include <QString>

// key=value settings files (setup.set, registry.set) and Big5 text files.

// "R": the value of pKey ("" when the file or key is missing).
// "W": sets pKey to pValue and rewrites the whole file; returns "".
QString SetFile_IO(const QString& pFile, const QString& pMode, const QString& pKey,
                   const QString& pValue = QString());
// "RESET" rewrites registry.set with its default content.
void RegistrySet_IO(const QString& pAction);

// A file that cannot be read gives "" and, where asked, ok = false.
QString ReadTextFile(const QString& pPath, bool* ok = nullptr);
QString ReadTextFile2(const QString& pPath, bool* ok = nullptr);
void WriteTextFile(const QString& pPath, const QString& pText);

// Line 2 of the course's descriptor file, "" when there is none.
QString GetCourseName(const QString& pCourseId);
