#include "tests/e2e/sweep/crashsweep.h"

#include <algorithm>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <utility>

#include "platform/big5.h"
#include "platform/db.h"
#include "tests/e2e/programrun.h"
#include "tests/e2e/walksteps.h"

namespace crashsweep {

namespace {

const QString kServicePrefix = QStringLiteral("service:");
const QString kSiteIcon = QStringLiteral("favicon.ico");

QString stepLine(const QString& scriptLine) {
    return "step " + scriptLine.split('\t').join(' ');
}

// The files under the folder with a digest of each, but for those whose
// names match one of the patterns: files that every start or check rewrites,
// and databases, which are read by their rows.
QString fileDigests(const QString& folder, const QStringList& skipped) {
    QStringList digests;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (QDir::match(skipped, QFileInfo(path).fileName())) {
            continue;
        }
        QFile file(path);
        const QByteArray digest =
            file.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex()
                : QByteArray("unreadable");
        digests << QDir(folder).relativeFilePath(path) + " " + digest;
    }
    digests.sort();
    return digests.join(", ");
}

// The rows of a query, each row's fields joined by "|"; none when the
// database is not there (opening it would make it).
QString rows(const QString& database, const QString& sql) {
    if (!QFileInfo::exists(database)) {
        return "(no database)";
    }
    QStringList found;
    db::Recordset recordset;
    if (!recordset.open(sql, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database + ";")) {
        return "(unreadable: " + recordset.lastError() + ")";
    }
    for (; !recordset.eof(); recordset.moveNext()) {
        QStringList fields;
        for (int i = 0; i < recordset.fieldCount(); ++i) {
            fields << recordset.field(i).toString();
        }
        found << fields.join('|');
    }
    return found.join(", ");
}

QString servicePlan(StandinProcess& standin, const QString& pno) {
    const QList<QStringList> table = standin.state("memos");
    if (table.isEmpty()) {
        return "(no answer)";
    }
    const QStringList& columns = table.first();
    for (const QStringList& row : table.mid(1)) {
        if (row.value(columns.indexOf("pno")) == pno &&
            row.value(columns.indexOf("course")) == "DEMO") {
            return row.value(columns.indexOf("memo"));
        }
    }
    return QString();
}

bool isCompared(const QString& fact, bool withService) {
    return withService || !fact.startsWith(kServicePrefix);
}

int countDifferences(const Facts& one, const Facts& other, bool withService) {
    int count = 0;
    for (auto fact = one.begin(); fact != one.end(); ++fact) {
        if (isCompared(fact.key(), withService) && fact.value() != other.value(fact.key())) {
            ++count;
        }
    }
    return count;
}

Facts nearest(const Facts& seen, const QList<Facts>& states, bool withService) {
    const auto closer = [&seen, withService](const Facts& one, const Facts& other) {
        return countDifferences(seen, one, withService) <
               countDifferences(seen, other, withService);
    };
    const auto found = std::min_element(states.begin(), states.end(), closer);
    return found == states.end() ? Facts() : *found;
}

QStringList signInLXQ(int port) {
    return {step({"wait", "frmLogin"}), step({"type", "frmLogin", "txtLogin", "DEMOQ001"}),
            step({"type", "frmLogin", "txtPassword", "demo"}),
            step({"type", "frmLogin", "cboServer", QStringLiteral("127.0.0.1:%1").arg(port)}),
            step({"click", "frmLogin", "登入"})};
}

}  // namespace

QString KillPoint::describe() const {
    return QStringLiteral("%1 %2 #%3")
        .arg(kind == Kind::Message ? "message" : "request", what)
        .arg(occurrence);
}

QList<KillPoint> messageKillPoints(const QStringList& log, const QString& firstStep,
                                   const QString& leaveStep) {
    const qsizetype first = log.indexOf(stepLine(firstStep));
    const qsizetype last = log.lastIndexOf(stepLine(leaveStep));
    QList<KillPoint> points;
    if (first < 0 || last < first) {
        return points;
    }
    QHash<QString, int> counts;
    for (qsizetype i = 0; i < last; ++i) {
        if (!log.at(i).startsWith("message ")) {
            continue;
        }
        const QString text = log.at(i).mid(int(qstrlen("message ")));
        const int occurrence = ++counts[text];
        if (i > first) {
            points.append({KillPoint::Kind::Message, text, occurrence});
        }
    }
    return points;
}

QString scriptOf(const StandinRequest& request) {
    const QString path = QString::fromLatin1(request.path);
    return path.mid(path.lastIndexOf('/') + 1).toLower();
}

int requestCount(const QList<StandinRequest>& requests, const QString& script) {
    return int(std::count_if(requests.begin(), requests.end(), [&script](const auto& request) {
        return scriptOf(request) == script;
    }));
}

int messageCount(const QStringList& log, const QString& text) {
    return int(log.count("message " + text));
}

QList<KillPoint> requestKillPoints(const QList<StandinRequest>& run,
                                   const QList<StandinRequest>& startUp) {
    QList<KillPoint> points;
    QHash<QString, int> counts;
    QByteArray lastRequest;
    for (const StandinRequest& request : run) {
        const QString script = scriptOf(request);
        const int occurrence = ++counts[script];
        if (script == kSiteIcon) {
            continue;
        }
        const QByteArray whole = request.path + '?' + request.query + '\n' + request.body;
        const bool again = std::exchange(lastRequest, whole) == whole;
        const int firstOfRoad = requestCount(startUp, script) + 1;
        if (occurrence == firstOfRoad || (occurrence > firstOfRoad && !again)) {
            // The program's own posts wait for their answer; the browser's
            // requests and the course download let it go on.
            points.append({KillPoint::Kind::Request, script, occurrence,
                           request.contentType.startsWith("text/xml")});
        }
    }
    return points;
}

Facts observe(const QString& tmp, StandinProcess& standin, const QString& pno) {
    const QString course = tmp + "/Lexivo2/DEMO";
    const QString courseData = course + "/LexivoData.mdb";
    const QString userData = course + "/userData.mdb";
    Facts facts;
    facts["descriptor"] = big5::readLines(tmp + "/Lexivo2/DEMO.lxs").join(" | ");
    facts["course files"] = fileDigests(course, {"*.mdb*", "node.set", "*.ver"});
    facts["engine files"] = fileDigests(tmp + "/glossor", {"registry.set", "tmp*.htm"});
    facts["progress"] = rows(
        courseData, "select UNITID, VISITED from bswunit where VISITED <> '1' order by UNITID");
    facts["own sentences"] = rows(userData, "select qcode, Sentence from UserSntn order by 1, 2");
    facts["wrong sentences"] =
        rows(userData, "select sentence, errcode, fromserver from errsentence order by 1, 2");
    facts["mistakes"] = rows(userData, "select errcode, times from mistakes order by 1");
    db::closeAllConnections();
    if (!pno.isEmpty()) {
        facts[kServicePrefix + "plan"] = servicePlan(standin, pno);
    }
    return facts;
}

RoadStates::Side RoadStates::sideOf(const Facts& seen, bool withService) const {
    const auto among = [&seen, withService](const QList<Facts>& states) {
        return std::any_of(states.begin(), states.end(), [&](const Facts& state) {
            return countDifferences(seen, state, withService) == 0;
        });
    };
    if (among(after)) {
        return Side::After;
    }
    return among(before) ? Side::Before : Side::Neither;
}

QString RoadStates::differences(const Facts& seen, bool withService) const {
    const Facts nearestBefore = nearest(seen, before, withService);
    const Facts nearestAfter = nearest(seen, after, withService);
    QString text;
    for (auto fact = seen.begin(); fact != seen.end(); ++fact) {
        const QString& name = fact.key();
        if (!isCompared(name, withService)) {
            continue;
        }
        if (fact.value() != nearestBefore.value(name) || fact.value() != nearestAfter.value(name)) {
            text +=
                QStringLiteral("\n  %1:\n    now    [%2]\n    before [%3]\n    after  [%4]")
                    .arg(name, fact.value(), nearestBefore.value(name), nearestAfter.value(name));
        }
    }
    return text;
}

bool copyFolder(const QString& from, const QString& to) {
    return QDir().mkpath(QFileInfo(to).absolutePath()) &&
           QProcess::execute("cp", {"-a", from, to}) == 0;
}

bool courseInstalled(const QString& tmp) {
    return QFileInfo(tmp + "/Lexivo2/DEMO").isDir();
}

QStringList startUp(const QString& edition, bool online, bool withCourse, int port) {
    QStringList steps;
    if (edition == "LXQ") {
        steps << signInLXQ(port);
        if (!online) {
            // Without the service the learner cannot sign in, and gives up.
            return steps << step({"answer", "OK", "無法找到伺服器"}) << step({"close", "frmLogin"});
        }
    } else if (!online) {
        steps << step({"answer", "OK", "目前網路中斷"});
    }
    if (withCourse) {
        return steps << walksteps::courseOpened();
    }
    return steps << step({"answer", "OK", "沒有找到任何已安裝課程"})
                 << step({"wait", "frmClassSelect"});
}

QStringList leave(const QString& edition, bool online, bool withCourse) {
    if (edition == "LXQ" && !online) {
        return {};
    }
    const QStringList closePicker = {step({"close", "frmClassSelect"})};
    return joined({withCourse ? QStringList() : closePicker, walksteps::leaveConfirmed()});
}

}  // namespace crashsweep
