#pragma once

#include <gtest/gtest.h>
#include <QString>
#include <QTemporaryDir>

// A fixture whose test runs with its own temporary folder as TMP and the
// global state set up for an edition on it (without the data installation).
class TempBaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // gBasePath, gDataFolderName, gEnginePath, the settings paths and the
    // connection strings for the edition, as the start-up would set them.
    void setUpGlobals(const QString& edition = "LXV");

    QString basePath() const { return m_base.path(); }
    // Writes a file (creating its folder) with the given bytes.
    static void writeBytes(const QString& path, const QByteArray& bytes);
    static QByteArray readBytes(const QString& path);
    // A database file named `name` in the temporary folder, made by the SQL
    // (an empty file is an empty SQLite database); its connection string.
    QString makeDatabase(const QString& name, const QString& createSql) const;

private:
    QTemporaryDir m_base;
    QByteArray m_previousTmp;
};
