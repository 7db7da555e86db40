#include "tests/e2e/programtest.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include "platform/big5.h"
#include "tests/e2e/programrun.h"

void ProgramTest::SetUp() {
    ASSERT_TRUE(m_root.isValid());
    ASSERT_TRUE(QDir().mkpath(tmp()));
}

void ProgramTest::startStandin(const QJsonObject& versions) {
    QStringList arguments;
    if (!versions.isEmpty()) {
        QFile seed(QStringLiteral(LEXIVO_PROGRAM_DIR) + "/standin-seed.json");
        ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
        QJsonObject content = QJsonDocument::fromJson(seed.readAll()).object();
        content.insert("versions", versions);
        const QString ownSeed = m_root.path() + "/seed.json";
        QFile written(ownSeed);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(QJsonDocument(content).toJson());
        arguments << "--seed" << ownSeed;
    }
    ASSERT_TRUE(standin.start(m_root.path() + "/standin", arguments));
    ASSERT_TRUE(writeServersFile(serversFile(), standin.port()));
}

bool ProgramTest::writeServersFile(const QString& file, int port) {
    const QString host = QStringLiteral("127.0.0.1:%1").arg(port);
    const QString base = "http://" + host + "/";
    return big5::writeLines(
        file, {"service=" + base, "update=" + host, "web=" + base, "account=" + base,
               "formerDomain=lexivo-former.invalid", "learnWeb=" + base, "publisherHome=" + base,
               "pno=DEMO0001", "password=demo"});
}

QStringList ProgramTest::requestedPaths() {
    QStringList paths;
    for (const StandinRequest& request : standin.log()) {
        paths << QString::fromLatin1(request.path);
    }
    return paths;
}

QString ProgramTest::standinHost() const {
    return QStringLiteral("127.0.0.1:%1").arg(standin.port());
}

QStringList ProgramTest::closeNews(bool doNotShowAgain) {
    QStringList steps = {step({"loaded", "frmPublisher"})};
    if (doNotShowAgain) {
        steps << step({"click", "frmPublisher", "下次不要再顯示此訊息"});
    }
    return steps << step({"click", "frmPublisher", "確定"});
}

// Without a course the picker says so, and the learner closes it.
QStringList ProgramTest::closeEmptyPicker() {
    return {step({"answer", "OK"}), step({"wait", "frmClassSelect"}),
            step({"close", "frmClassSelect"})};
}

// The exit question, where the program asks it, is answered yes.
QStringList ProgramTest::leaveProgram() {
    return {step({"wait", "frmMain"}), step({"close", "frmMain"}), step({"answer", "OK"})};
}

QStringList ProgramTest::signInLXM(const QString& login, const QString& password) {
    return {step({"type", "frmLXMLogin", "txtLogin", login}),
            step({"key", "frmLXMLogin", "txtLogin", "Return"}),
            step({"type", "frmLXMLogin", "txtPassword", password}),
            step({"key", "frmLXMLogin", "txtPassword", "Return"})};
}
