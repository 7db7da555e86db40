#include "tests/forms/servicefaultfixture.h"

#include <cctype>

#include <QFile>
#include <QWidget>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/http.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "workspace/frmMain.h"

namespace {

// The engine's ticks also bound the whole check (30 of them), so they leave
// a loaded machine room for a check that must succeed.
constexpr int kEngineTickMs = 100;

}  // namespace

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const ServiceFault& fault, std::ostream* out) {
    *out << (*fault.script ? fault.script : "the service") << " " << fault.mode;
}

std::string faultName(const ServiceFault& fault) {
    std::string name = QString(fault.script).section('.', 0, 0).toStdString() + "_" + fault.mode;
    for (char& character : name) {
        if (!std::isalnum(static_cast<unsigned char>(character))) {
            character = '_';
        }
    }
    return name;
}

void ServiceFaultTest::SetUp() {
    SentenceCheckTest::SetUp();
    m_connectMs = http::connectTimeoutMs();
    m_totalMs = http::totalTimeoutMs();
    http::setTimeouts(kShortTimeoutMs, kShortTimeoutMs);
}

void ServiceFaultTest::TearDown() {
    http::setTimeouts(m_connectMs, m_totalMs);
    SentenceCheckTest::TearDown();
}

void ServiceFaultTest::restoreTimeouts() {
    http::setTimeouts(m_connectMs, m_totalMs);
    if (m_engineTickMs > 0) {
        window->tmrEngineResponse.setInterval(m_engineTickMs);
    }
}

void ServiceFaultTest::openMainWindow(const QString& edition) {
    openWindow(edition);
    m_engineTickMs = window->tmrEngineResponse.interval();
    window->tmrEngineResponse.setInterval(kEngineTickMs);
}

void ServiceFaultTest::applyFault(const ServiceFault& fault) {
    // Only a script that never answers needs the short time-outs; any other
    // fault leaves the requests that must succeed room on a loaded machine.
    if (QString(fault.mode) != "silent") {
        http::setTimeouts(m_connectMs, m_totalMs);
    }
    if (QString(fault.mode) == "stopped") {
        standin.stop();
        return;
    }
    ASSERT_TRUE(standin.setMode(fault.script, fault.mode)) << faultName(fault);
}

QStringList ServiceFaultTest::rowTexts(const QString& sql, const QString& connection) {
    QStringList texts;
    db::Recordset records;
    if (!records.open(sql, connection)) {
        ADD_FAILURE() << sql.toStdString() << ": " << records.lastError().toStdString();
        return texts;
    }
    for (; !records.eof(); records.moveNext()) {
        QStringList fields;
        for (int i = 0; i < records.fieldCount(); ++i) {
            fields << records.field(i).toString();
        }
        texts << fields.join('|');
    }
    return texts;
}

QStringList ServiceFaultTest::localRecords() const {
    QStringList records;
    for (const char* table : {"UserSntn", "errsentence", "mistakes"}) {
        records << table;
        records << rowTexts(QStringLiteral("select * from %1 order by 1").arg(table), gUserConnStr);
    }
    records << rowTexts("select UNITID, VISITED from bswunit order by UNITID", gCourseConnStr);
    QFile descriptor(ProductFolder() + "/" + gCourseId + ".lxs");
    records << QString::fromLatin1(
        descriptor.open(QIODevice::ReadOnly) ? descriptor.readAll().toHex() : "no descriptor");
    return records;
}

void ServiceFaultTest::addLocalRecords() {
    for (const char* sql :
         {"insert into UserSntn values ('L1', 'U1000101', 'Kept here.', '2020-01-01')",
          "insert into errsentence values ('L2', 'kept *here*', 'CP001', '2020-01-01', 'N')",
          "insert into mistakes values ('CP001', 7)"}) {
        ASSERT_TRUE(db::execute(sql, gUserConnStr)) << sql;
    }
    ASSERT_TRUE(
        db::execute("update bswunit set VISITED = '3' where UNITID = 'U1000101'", gCourseConnStr));
}

void ServiceFaultTest::expectUsable(QWidget* window) {
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded() &&
                 FormInstance<frmMessage>::get()->isVisible());
}
