#include "tests/e2e/walksteps.h"

#include <iostream>
#include <QByteArrayList>
#include <QStringDecoder>

#include "platform/db.h"

namespace walksteps {

namespace {

// A script string literal, for conditions that name a text.
QString quoted(const QString& text) {
    return "'" + QString(text).replace('\\', "\\\\").replace('\'', "\\'") + "'";
}

QString pageHolds(const QString& text) {
    return "document.body !== null && document.body.innerText.indexOf(" + quoted(text) + ") >= 0";
}

QString elementTextIs(const QString& id, const QString& text) {
    return QStringLiteral(
               "document.getElementById('%1') !== null && "
               "document.getElementById('%1').textContent === %2")
        .arg(id, quoted(text));
}

}  // namespace

QStringList downloadAndOpenDemo(const QString& shotPrefix) {
    return {
        step({"answer", "OK", "沒有找到任何已安裝課程"}),
        step({"click", "frmClassSelect", "下載其他課程"}),
        step({"waitpage", "frmClassDownload", "document.querySelector('a[href=\"cmd:DEMO\"]')"}),
        step({"shot", "frmClassDownload", shotPrefix + "-download"}),
        step({"link", "frmClassDownload", "cmd:DEMO"}),
        step({"answer", "OK", "所選擇的課程已經安裝完成"}),
        step({"wait", "frmClassSelect"}),
        step({"shot", "frmClassSelect", shotPrefix + "-picker"}),
        step({"click", "frmClassSelect", "載入所選擇的課程"}),
    };
}

QStringList courseOpened() {
    return {step({"ready", "frmMain", "儲存檔案"})};
}

// The tree is given back when the node click has ended, its page shown and
// the answer box emptied.
QStringList selectQuestion(const QString& nodeText) {
    return {step({"select", "frmMain", nodeText}), step({"ready", "frmMain", "QTreeWidget:0"}),
            step({"text", "frmMain", "QTreeWidget:0"})};
}

// The answer box is given back when the check has ended; the page then
// shows this sentence's verdict.
QStringList checkSentence(const QString& sentence, const QString& verdict, bool uploadLost) {
    QStringList steps = {
        step({"type", "frmMain", "QLineEdit:0", sentence}),
        step({"key", "frmMain", "QLineEdit:0", "Return"}),
    };
    if (uploadLost) {
        steps << step({"answer", "OK", "目前網路中斷"});
    }
    steps << QStringList{
        step({"ready", "frmMain", "QLineEdit:0"}),
        step({"waitpage", "frmMain",
              elementTextIs("verdict", verdict) + " && " + elementTextIs("sentence", sentence)}),
    };
    if (verdict != kCorrect) {
        steps << step({"pagetext", "frmMain", "#codes"});
    }
    return steps;
}

QStringList statisticsAndWrongSentences(const QString& category, const QString& code,
                                        const QString& shotPrefix) {
    const QString categoryLink =
        QStringLiteral("a[href=\"javascript:extendArea('%1');\"]").arg(category);
    return {
        step({"click", "frmMain", "犯錯記錄"}),
        step({"waitpage", "frmMain", "document.getElementById('td_" + code + "') !== null"}),
        step({"clickpage", "frmMain", categoryLink}),
        step({"waitpage", "frmMain",
              "getComputedStyle(document.getElementById('div" + category +
                  "')).display !== 'none'"}),
        step({"pagetext", "frmMain", "#td_" + code}),
        step({"shot", "frmMain", shotPrefix + "-statistics"}),
        step({"clickpage", "frmMain", "#td_" + code + " a"}),
        step({"wait", "frmErrSentence"}),
        step({"waitpage", "frmErrSentence", "document.querySelectorAll('li').length > 0"}),
        step({"pagetext", "frmErrSentence", "body"}),
        step({"shot", "frmErrSentence", shotPrefix + "-wrongsentences"}),
        step({"close", "frmErrSentence"}),
    };
}

QStringList progressPage(const QString& addressPart, const QString& shotPrefix) {
    return {
        step({"click", "frmMain", "學習進度"}),
        step({"waitpage", "frmMain",
              "location.href.indexOf(" + quoted(addressPart) +
                  ") >= 0 && document.readyState === 'complete'"}),
        step({"pagetext", "frmMain", "body"}),
        step({"shot", "frmMain", shotPrefix + "-progress"}),
    };
}

QStringList examples(const QString& translation, const QString& shotPrefix) {
    return {
        step({"click", "frmMain", "造句範例"}),
        step({"wait", "frmSample"}),
        step({"click", "frmSample", "中英文顯示"}),
        step({"waitpage", "frmSample", pageHolds(translation)}),
        step({"pagetext", "frmSample", "body"}),
        step({"shot", "frmSample", shotPrefix + "-examples"}),
        step({"close", "frmSample"}),
    };
}

QStringList ownSentences(const QString& shotPrefix) {
    return {
        step({"click", "frmMain", "我的造句"}),
        step({"wait", "frmSentence"}),
        step({"waitpage", "frmSentence", "document.querySelectorAll('li').length > 0"}),
        step({"pagetext", "frmSentence", "body"}),
        step({"shot", "frmSentence", shotPrefix + "-sentences"}),
        step({"close", "frmSentence"}),
    };
}

QStringList search(const QString& phrase, const QString& shotPrefix) {
    return {
        step({"click", "frmMain", "題目搜尋"}),
        step({"wait", "frmSearch"}),
        step({"type", "frmSearch", "QLineEdit:0", phrase}),
        step({"click", "frmSearch", "找下一個"}),
        step({"ready", "frmSearch", "取消"}),
        step({"shot", "frmSearch", shotPrefix + "-search"}),
        step({"click", "frmSearch", "取消"}),
        step({"text", "frmMain", "QTreeWidget:0"}),
    };
}

QStringList feedback(const QString& description, const QString& email, const QString& shotPrefix) {
    return {
        step({"click", "frmMain", "問題回饋"}),
        step({"wait", "frmFeedback"}),
        step({"click", "frmFeedback", "QPlainTextEdit:0"}),
        step({"type", "frmFeedback", "QPlainTextEdit:0", description}),
        step({"click", "frmFeedback", "我希望得到回覆，請 e-mail 至："}),
        step({"type", "frmFeedback", "QLineEdit:0", email}),
        step({"shot", "frmFeedback", shotPrefix + "-feedback"}),
        step({"click", "frmFeedback", "送出"}),
        step({"answer", "OK", "您的意見已經傳送至伺服器完成了"}),
    };
}

QStringList leaveConfirmed() {
    return {step({"click", "frmMain", "結束離開"}), step({"answer", "OK", "您確定要離開本程式嗎"})};
}

QStringList serviceEditionRoad(const QString& shotPrefix) {
    return joined({
        downloadAndOpenDemo(shotPrefix),
        courseOpened(),
        selectQuestion("01 我的名字"),
        checkSentence(kCorrectSentence, kCorrect),
        {step({"shot", "frmMain", shotPrefix + "-main-check"})},
        checkSentence(kWrongSentence, kWrong),
        statisticsAndWrongSentences("CP", "CP001", shotPrefix),
        progressPage("p_getcalcprogress.asp", shotPrefix),
        examples(kExampleTranslation, shotPrefix),
        ownSentences(shotPrefix),
        feedback(kFeedbackText, kFeedbackEmail, shotPrefix),
        search("起床", shotPrefix),
        leaveConfirmed(),
    });
}

Row formFields(const QByteArray& body) {
    Row fields;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0) {
            continue;
        }
        const auto decoded = [](QByteArray text) -> QString {
            const QByteArray bytes = QByteArray::fromPercentEncoding(text.replace('+', ' '));
            QStringDecoder big5("Big5");
            return big5.decode(bytes);
        };
        fields.insert(decoded(pair.left(equals)), decoded(pair.mid(equals + 1)));
    }
    return fields;
}

}  // namespace walksteps

void WalkTest::SetUp() {
    ProgramTest::SetUp();
    qputenv("LEXIVO_E2E_SHOTS", QByteArrayLiteral(LEXIVO_PROGRAM_DIR "/../screenshots/e2e"));
}

void WalkTest::TearDown() {
    if (HasFailure()) {
        std::cout << walkLog().toStdString() << std::endl;
    }
    ProgramTest::TearDown();
}

bool WalkTest::walk(const QString& edition, const QStringList& script) {
    program = std::make_unique<ProgramRun>(tmp(), serversFile());
    return program->run({edition}, script, kWalkTimeoutMs);
}

QString WalkTest::walkLog() const {
    return program ? program->log().join("\n") + "\n--- output ---\n" + program->output()
                   : QString();
}

QList<walksteps::Row> WalkTest::formsPostedTo(const QString& script) {
    QList<walksteps::Row> forms;
    for (const StandinRequest& request : standin.log()) {
        if (request.path.endsWith("/" + script.toLatin1())) {
            forms << walksteps::formFields(request.body.isEmpty() ? request.query : request.body);
        }
    }
    return forms;
}

QList<walksteps::Row> WalkTest::stateRows(const QString& table, const QString& column,
                                          const QString& value) {
    const QList<QStringList> dump = standin.state(table);
    QList<walksteps::Row> rows;
    if (dump.isEmpty()) {
        return rows;
    }
    const QStringList& columns = dump.first();
    for (const QStringList& fields : dump.mid(1)) {
        walksteps::Row row;
        for (int i = 0; i < columns.size(); ++i) {
            row.insert(columns.at(i), fields.value(i));
        }
        if (row.value(column) == value) {
            rows << row;
        }
    }
    return rows;
}

QStringList WalkTest::courseRows(const QString& database, const QString& sql) const {
    const QString connection =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + productFile("DEMO/" + database) + ";";
    QStringList rows;
    for (db::Recordset found(sql, connection); !found.eof(); found.moveNext()) {
        QStringList fields;
        for (int i = 0; i < found.fieldCount(); ++i) {
            fields << found.field(i).toString();
        }
        rows << fields.join('|');
    }
    return rows;
}

void WalkTest::expectEndedWell(const QStringList& script) const {
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_FALSE(program->crashed());
    for (const QString& line : script) {
        const QStringList fields = line.split('\t');
        if (fields.value(0) == "shot") {
            EXPECT_TRUE(program->logHas("shot " + fields.value(2)))
                << fields.value(2).toStdString();
        }
    }
}

void WalkTest::expectRoadShown() const {
    EXPECT_TRUE(program->logHas("text QTreeWidget:0 01 我的名字"));
    EXPECT_TRUE(program->logHas("pagetext #codes CP001 句子的第一個字母要大寫"));
    EXPECT_TRUE(program->logHas("pagetext #td_CP001 句子的第一個字母要大寫 1"));
    EXPECT_TRUE(program->logHas("pagetext body " + walksteps::kWrongSentence)) << "wrong sentences";
    EXPECT_TRUE(program->logHasStart("pagetext body My name is Lin Mei-ling. 我的名字是林美玲。"));
    EXPECT_TRUE(program->logHas("pagetext body " + walksteps::kCorrectSentence)) << "own sentences";
    EXPECT_TRUE(program->logHas("text QTreeWidget:0 01 起床時間")) << "search";
}

void WalkTest::expectServiceEditionRecords(const QString& pno) {
    const QList<walksteps::Row> uploads = formsPostedTo("p_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(uploads[0].value("regid"), pno);
    EXPECT_EQ(uploads[0].value("courseId"), "DEMO");
    EXPECT_EQ(uploads[0].value("qcode"), "U1000101");
    EXPECT_EQ(uploads[0].value("flag"), "3");
    EXPECT_EQ(uploads[0].value("errcode"), "0");
    EXPECT_EQ(uploads[1].value("errcode"), "CP001");

    const QList<walksteps::Row> correct = stateRows("ok_sentences", "pno", pno);
    ASSERT_EQ(correct.size(), 1);
    EXPECT_EQ(correct[0].value("qcode"), "U1000101");
    EXPECT_EQ(correct[0].value("sentence"), walksteps::kCorrectSentence);
    const QList<walksteps::Row> wrong = stateRows("err_sentences", "pno", pno);
    ASSERT_EQ(wrong.size(), 1);
    EXPECT_EQ(wrong[0].value("errcode"), "CP001");
    EXPECT_EQ(wrong[0].value("sentence"), walksteps::kWrongSentenceMarked);
    const QList<walksteps::Row> progress = stateRows("progress", "pno", pno);
    ASSERT_EQ(progress.size(), 1);
    EXPECT_EQ(progress[0].value("unitid") + ":" + progress[0].value("state"), "U1000101:3");

    const QList<walksteps::Row> feedbacks = stateRows("feedback", "pno", pno);
    ASSERT_EQ(feedbacks.size(), 1);
    EXPECT_EQ(feedbacks[0].value("qcode"), "U1000101");
    // The web engine's check leaves no error code in the hand-off file.
    EXPECT_EQ(feedbacks[0].value("errcode"), "0");
    EXPECT_EQ(feedbacks[0].value("sentence"), walksteps::kWrongSentence);
    EXPECT_EQ(feedbacks[0].value("remarks"), walksteps::kFeedbackText);
    EXPECT_EQ(feedbacks[0].value("email"), walksteps::kFeedbackEmail);

    // Sentences stay on the service; the counts and the progress are local.
    EXPECT_TRUE(courseRows("userData.mdb", "select * from UserSntn").isEmpty());
    EXPECT_TRUE(courseRows("userData.mdb", "select * from errsentence").isEmpty());
    EXPECT_EQ(courseRows("userData.mdb", "select errcode, times from mistakes"),
              QStringList{"CP001|1"});
    EXPECT_EQ(courseRows("LexivoData.mdb", "select UNITID from bswunit where VISITED <> '1'"),
              QStringList{"U1000101"});
}
