#include <algorithm>
#include <functional>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/package.h"
#include "shared/descramble.h"
#include "shared/settingsfiles.h"
#include "tests/support/tempbase.h"

namespace {

const QString kProgramDir = QStringLiteral(LEXIVO_PROGRAM_DIR);
const QString kDataDir = QStringLiteral(LEXIVO_SOURCE_DIR "/data");

QString connectionTo(const QString& databasePath) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + databasePath + ";";
}

QStringList column(const QString& sql, const QString& databasePath, const QString& name) {
    QStringList values;
    db::Recordset rows(sql, connectionTo(databasePath));
    EXPECT_TRUE(rows.isOpen()) << rows.lastError().toStdString();
    for (; !rows.eof(); rows.moveNext()) {
        values << rows.text(name);
    }
    return values;
}

QJsonObject demoSource() {
    QFile file(kDataDir + "/demo-course/course.json");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString utf8File(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

class DemoCourseTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        QString error;
        ASSERT_TRUE(package::unpack(kProgramDir + "/DEMO.giz", product(), &error))
            << error.toStdString();
    }

    QString product() const { return basePath() + "/Lexivo2"; }
    QString course() const { return product() + "/DEMO/LexivoData.mdb"; }
    QString learner() const { return product() + "/DEMO/userData.mdb"; }
};

TEST_F(DemoCourseTest, InstallsTheCourseFolderAndItsDescriptor) {
    for (const char* file : {"DEMO/LexivoData.mdb", "DEMO/userData.mdb", "DEMO/unit1.xtm",
                             "DEMO/unit2.xtm", "DEMO/unit3.xtm", "DEMO/pic/unit1.png"}) {
        EXPECT_TRUE(QFile::exists(product() + '/' + file)) << file;
    }
    EXPECT_FALSE(QFile::exists(product() + "/DEMO/DEMO.ver"));
    EXPECT_EQ(big5::readLines(product() + "/DEMO.lxs"),
              (QStringList{"DEMO", demoSource()["name"].toString(), "NONE", "0", "2000/1/1",
                           "2000/1/1"}));
    EXPECT_TRUE(readBytes(product() + "/DEMO.lxs").endsWith("\r\n"));
}

TEST_F(DemoCourseTest, HasARootAndThreeUnitsOfFiveQuestions) {
    const QStringList roots = column(
        "select * from bswunit where unitid like '%0000' order by UNITID", course(), "UNITID");
    ASSERT_EQ(roots.size(), 1);
    EXPECT_EQ(column("select * from bswunit order by UNITID", course(), "UNITID").first(),
              roots.first());
    EXPECT_EQ(
        column("select * from bswunit where UNITID = '" + roots.first() + "'", course(), "TEXT"),
        QStringList{demoSource()["name"].toString()});

    const QStringList units =
        column("select * from bswunit where PARENT = '" + roots.first() + "' order by UNITID",
               course(), "UNITID");
    ASSERT_EQ(units.size(), 3);
    for (const QString& unit : units) {
        const QStringList questions =
            column("select * from bswunit where PARENT = '" + unit + "' order by UNITID", course(),
                   "UNITID");
        EXPECT_EQ(questions.size(), 5) << unit.toStdString();
        for (const QString& question : questions) {
            EXPECT_EQ(question.left(4), unit.left(4));
        }
    }
}

TEST_F(DemoCourseTest, MarksEveryRowNotVisitedAndOneQuestionUnique) {
    EXPECT_EQ(column("select * from bswunit where VISITED <> '1'", course(), "UNITID").size(), 0);
    EXPECT_EQ(column("select * from bswunit where IsUnique = '1'", course(), "UNITID").size(), 1);
}

TEST_F(DemoCourseTest, StoresUnitAndQuestionTextsScrambled) {
    const QJsonArray units = demoSource()["units"].toArray();
    for (const QJsonValue& unitValue : units) {
        const QJsonObject unit = unitValue.toObject();
        const QString id = unit["id"].toString();
        const QString stored =
            column("select * from bswunit where UNITID = '" + id + "'", course(), "TEXT").value(0);
        EXPECT_NE(stored, unit["name"].toString());
        EXPECT_EQ(DecodeMdbString(stored), unit["name"].toString());

        for (const QJsonValue& questionValue : unit["questions"].toArray()) {
            const QJsonObject question = questionValue.toObject();
            const QString code = question["id"].toString();
            QStringList lines;
            for (const QString& line :
                 column("select * from bswqcont where QCODE = '" + code + "' order by QORDER",
                        course(), "Q1")) {
                lines << DecodeMdbString(line);
            }
            QStringList expected;
            for (const QJsonValue& line : question["lines"].toArray()) {
                expected << line.toString();
            }
            EXPECT_EQ(lines, expected) << code.toStdString();
            const QStringList examples =
                column("select * from example where qcode = '" + code + "'", course(), "Sentence");
            EXPECT_GE(examples.size(), 1);
            EXPECT_LE(examples.size(), 3);
        }
    }
}

TEST_F(DemoCourseTest, GivesQuestionsTheirUnitsPageAsTag) {
    const QStringList unitPages = column(
        "select * from bswunit where PARENT = 'DEMO0000' order by UNITID", course(), "TEACHNOTES");
    ASSERT_EQ(unitPages.size(), 3);
    const QStringList questionPages = column(
        "select q.TEACHNOTES as page, u.TEACHNOTES as unitPage from bswunit q join bswunit u "
        "on q.PARENT = u.UNITID where u.PARENT = 'DEMO0000' and q.TEACHNOTES = u.TEACHNOTES",
        course(), "page");
    EXPECT_EQ(questionPages.size(), 15);
}

TEST_F(DemoCourseTest, StoresUnitPagesThatDescrambleToTheirSource) {
    for (const QString& page :
         column("select * from bswunit where PARENT = 'DEMO0000'", course(), "TEACHNOTES")) {
        ASSERT_TRUE(page.endsWith(".htm"));
        QString stored = ReadTextFile(product() + "/DEMO/" + page.chopped(4) + ".xtm");
        QString source = utf8File(kDataDir + "/demo-course/pages/" + page);
        source.replace("\r\n", "\n").replace("\n", "\r\n");

        const QString shown = HtmlDecrypt(stored);
        EXPECT_EQ(shown, source) << page.toStdString();
        EXPECT_TRUE(shown.contains("pic/"));
    }
}

TEST_F(DemoCourseTest, ShipsAnEmptyLearnerDatabaseTakingPositionalRows) {
    const QString connection = connectionTo(learner());
    for (const char* table : {"UserSntn", "errsentence", "mistakes"}) {
        EXPECT_EQ(column(QString("select count(*) as n from ") + table, learner(), "n"),
                  QStringList{"0"});
    }
    EXPECT_TRUE(db::execute(
        "insert into UserSntn values ('1','U1000101','My name is Lin.',#2026/12/6#)", connection));
    EXPECT_TRUE(db::execute(
        "insert into errsentence values ('2','*my* name.','CP001',#2026/12/6#,'N')", connection));
    EXPECT_TRUE(db::execute("insert into mistakes values ('CP001',1)", connection));
    EXPECT_EQ(column("select * from mistakes where Errcode = 'CP001'", learner(), "times"),
              QStringList{"1"});
}

class ProgramDataTest : public TempBaseTest {};

TEST_F(ProgramDataTest, EnginePackageHoldsTheErrorList) {
    const QString engine = basePath() + "/glossor";
    ASSERT_TRUE(package::unpack(kProgramDir + "/giz/glossor.giz", engine));
    const QString list = engine + "/data/err4list.mdb";

    const QStringList categories =
        column("select * from errtype order by errtype_id", list, "errtype_id");
    const QStringList codes = column("select * from errmain order by errcode", list, "errcode");
    EXPECT_GE(categories.size(), 10);
    EXPECT_GE(codes.size(), 40);
    for (const QString& code : codes) {
        EXPECT_LE(code.size(), 6);
        EXPECT_TRUE(std::any_of(categories.begin(), categories.end(), [&](const QString& id) {
            return code.startsWith(id);
        })) << code.toStdString();
    }
    for (const char* graded : {"CP001", "PU001", "AR001", "DW001", "AG001"}) {
        EXPECT_TRUE(codes.contains(graded)) << graded;
    }
}

TEST_F(ProgramDataTest, ManualPackageCreatesTheManualFolder) {
    ASSERT_TRUE(package::unpack(kProgramDir + "/giz/manual.giz", basePath() + "/Lexivo2"));
    const QByteArray index = readBytes(basePath() + "/Lexivo2/manual/index.htm");

    EXPECT_TRUE(index.startsWith("\r\n<html>"));
    EXPECT_TRUE(ReadTextFile(basePath() + "/Lexivo2/manual/index.htm").contains("使用說明"));
}

TEST_F(ProgramDataTest, ServersFilePointsAtTheLocalStandIn) {
    const QString servers = kProgramDir + "/servers.set";
    EXPECT_EQ(SetFile_IO(servers, "R", "service"), "http://127.0.0.1:8765/");
    EXPECT_EQ(SetFile_IO(servers, "R", "web"), "http://127.0.0.1:8765/");
    EXPECT_EQ(SetFile_IO(servers, "R", "pno"), "DEMO0001");
    EXPECT_EQ(SetFile_IO(servers, "R", "password"), "demo");
    EXPECT_TRUE(readBytes(servers).contains("\r\n"));
}

// The tool itself refuses sources the program could not use.
class GizpackToolTest : public TempBaseTest {
protected:
    int gizpack(const QStringList& arguments) {
        QProcess tool;
        tool.start(kProgramDir + "/gizpack", arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return tool.exitCode();
    }

    // A copy of the demo course with its course.json edited.
    QString courseWith(const std::function<void(QJsonObject&)>& edit) {
        const QString folder = basePath() + "/course";
        QDir().mkpath(folder + "/pages");
        for (const QString& page : QDir(kDataDir + "/demo-course/pages").entryList(QDir::Files)) {
            QFile::copy(kDataDir + "/demo-course/pages/" + page, folder + "/pages/" + page);
        }
        QJsonObject source = demoSource();
        edit(source);
        writeBytes(folder + "/course.json", QJsonDocument(source).toJson());
        return folder;
    }

    bool builds(const QString& folder) {
        const QString out = basePath() + "/out.giz";
        const int exitCode = gizpack({"course", folder, kDataDir + "/schema", out});
        EXPECT_EQ(exitCode == 0, QFile::exists(out));
        return exitCode == 0;
    }

    static void editFirstQuestion(QJsonObject& source,
                                  const std::function<void(QJsonObject&)>& edit) {
        QJsonArray units = source["units"].toArray();
        QJsonObject unit = units[0].toObject();
        QJsonArray questions = unit["questions"].toArray();
        QJsonObject question = questions[0].toObject();
        edit(question);
        questions[0] = question;
        unit["questions"] = questions;
        units[0] = unit;
        source["units"] = units;
    }
};

TEST_F(GizpackToolTest, BuildsAnUnchangedCopyOfTheDemoCourse) {
    EXPECT_TRUE(builds(courseWith([](QJsonObject&) {})));
}

TEST_F(GizpackToolTest, RefusesTextsOutsideBig5) {
    EXPECT_FALSE(builds(courseWith([](QJsonObject& source) {
        editFirstQuestion(source, [](QJsonObject& q) { q["name"] = QStringLiteral("한국어"); });
    })));
}

TEST_F(GizpackToolTest, RefusesIdsThatBreakTheTreeKeys) {
    EXPECT_FALSE(builds(courseWith([](QJsonObject& source) {
        editFirstQuestion(source, [](QJsonObject& q) { q["id"] = "X1000101"; });
    })));
    EXPECT_FALSE(builds(courseWith([](QJsonObject& source) {
        editFirstQuestion(source, [](QJsonObject& q) { q["id"] = "U1000000"; });
    })));
    EXPECT_FALSE(builds(courseWith([](QJsonObject& source) {
        editFirstQuestion(source, [](QJsonObject& q) { q["id"] = "U1000102"; });
    })));
    EXPECT_FALSE(builds(courseWith([](QJsonObject& source) { source["root"] = "DEMO0001"; })));
}

TEST_F(GizpackToolTest, RefusesErrorListsTheStatisticsPageCouldNotUse) {
    const QString schema = kDataDir + "/schema/err4list.sql";
    const QString out = basePath() + "/err4list.mdb";
    const auto builds = [&](const QByteArray& list) {
        writeBytes(basePath() + "/list.tsv", list);
        return gizpack({"errlist", basePath() + "/list.tsv", schema, out}) == 0;
    };

    EXPECT_TRUE(builds("type\tAR\t冠詞\ncode\tAR001\t要用 an\n"));
    EXPECT_FALSE(builds("type\tAR\t冠詞\ncode\tXX001\t無類別\n"));
    EXPECT_FALSE(builds("type\tAR\t冠詞\ncode\tAR00001\t太長\n"));
    EXPECT_FALSE(builds("type\tP\t標點\ntype\tPU\t句尾\ncode\tPU001\t重疊\n"));
    EXPECT_FALSE(builds("type\tAR\t冠詞\ncode\tAR001\t一\ncode\tAR001\t二\n"));
}

}  // namespace
