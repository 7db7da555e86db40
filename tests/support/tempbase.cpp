#include "tests/support/tempbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/db.h"
#include "shared/globals.h"

void TempBaseTest::SetUp() {
    ASSERT_TRUE(m_base.isValid());
    m_previousTmp = qgetenv("TMP");
    qputenv("TMP", m_base.path().toUtf8());
}

void TempBaseTest::TearDown() {
    db::closeAllConnections();
    qputenv("TMP", m_previousTmp);
}

void TempBaseTest::setUpGlobals(const QString& edition) {
    gEdition = edition;
    gBasePath = m_base.path();
    gDataFolderName = "Lexivo2";
    gHtmlFolderName = "manual";
    gEnginePath = gBasePath + "/glossor/";
    gSetupSetFile = gBasePath + "/Lexivo2/setup.set";
    gRegistrySetFile = gEnginePath + "registry.set";
    gCourseId.clear();
    BuildConnStrings();
}

QString TempBaseTest::makeDatabase(const QString& name, const QString& createSql) const {
    const QString path = basePath() + u'/' + name;
    writeBytes(path, QByteArray());
    const QString conn =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path + u';';
    EXPECT_TRUE(db::execute(createSql, conn));
    return conn;
}

void TempBaseTest::writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TempBaseTest::readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
