#pragma once

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/support/standinprocess.h"

// A fresh TMP folder for the program and, on request, a stand-in service
// that the program's servers.set names.
class ProgramTest : public ::testing::Test {
protected:
    static constexpr int kRunTimeoutMs = 90000;

    void SetUp() override;

    // versions, when given, replaces the seed's program versions.
    void startStandin(const QJsonObject& versions = {});
    QString tmp() const { return m_root.path() + "/tmp"; }
    QString serversFile() const { return m_root.path() + "/servers.set"; }
    QString productFile(const QString& name) const { return tmp() + "/Lexivo2/" + name; }
    // The stand-in's requests for a script, by path ("/p_getlogin.asp").
    QStringList requestedPaths();
    // The started stand-in as the program names a server ("127.0.0.1:PORT").
    QString standinHost() const;

    // A servers.set that names the service at 127.0.0.1:port, and the LXV
    // account of the seed.
    static bool writeServersFile(const QString& file, int port);

    // Steps that every fresh start goes through or ends with.
    static QStringList closeNews(bool doNotShowAgain = false);
    static QStringList closeEmptyPicker();
    static QStringList leaveProgram();
    // The LXM sign-in once its form shows: the login looked up with Enter,
    // then the password sent with Enter.
    static QStringList signInLXM(const QString& login, const QString& password);

    StandinProcess standin;

private:
    QTemporaryDir m_root;
};
