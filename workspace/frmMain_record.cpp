#include <QDate>

#include "platform/db.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/request.h"
#include "workspace/formpost.h"
#include "workspace/frmMain.h"
#include "workspace/treeimages.h"

namespace {

// The learner's sentence as it is stored and uploaded: the service and the
// databases keep "’" where the learner typed "'".
QString withTypographicApostrophes(const QString& text) {
    return QString(text).replace('\'', QChar(0x2019));
}

// Everything the record step works out before it writes anything.
struct CheckRecord {
    frmMain::CheckedCourse course;
    bool correct = false;
    QString code;
    QString errCode;
    QString date;
    QString id;
    QString storedSentence;
    QString oldState;
    QString newFlag;
};

bool runStatement(const QString& sql, const QString& connection) {
    QString error;
    if (!db::execute(sql, connection, &error)) {
        qWarning("Record statement failed: %s", qUtf8Printable(error));
        return false;
    }
    return true;
}

QString questionState(const QString& code, const QString& courseConn) {
    db::Recordset unit;
    if (!unit.open("select * from bswunit where UNITID = '" + SqlText(code) + "' ", courseConn)) {
        qWarning("Question query failed: %s", qUtf8Printable(unit.lastError()));
    }
    return Trim(unit.text("VISITED"));
}

// The progress state only moves forward: a first wrong sentence marks the
// question as tried, a correct one as finished.
QString newFlagOf(bool correct, const QString& oldState) {
    if (!correct && oldState == "1") {
        return "2";
    }
    if (correct && (oldState == "1" || oldState == "2")) {
        return "3";
    }
    return oldState;
}

CheckRecord workOutRecord(const QString& status, const QString& errCode, const QString& sentence,
                          const QString& code, const frmMain::CheckedCourse& course) {
    CheckRecord record;
    record.course = course;
    record.correct = status == "0";
    record.code = code;
    record.errCode = GetErrCode(errCode);
    record.date = GetDateString(QDate::currentDate(), "/");
    record.id = GetUniqueID();
    // A wrong sentence too is the one checked, not what the hand-off file
    // holds by now: feedback sent or the engine rebuilt during the wait
    // empties it, and a write that failed leaves the sentence before.
    record.storedSentence = withTypographicApostrophes(sentence);
    record.oldState = questionState(code, course.courseConn);
    record.newFlag = newFlagOf(record.correct, record.oldState);
    return record;
}

bool storeWrongSentence(const CheckRecord& record) {
    return runStatement("insert into errsentence values ( " + QString(" '") + record.id + "' ," +
                            " '" + SqlText(record.storedSentence) + "' ," + " '" +
                            SqlText(record.errCode) + "' ," + " #" + record.date + "#, " + " 'N' " +
                            " ) ",
                        record.course.userConn);
}

// One row per sentence and question.
bool storeCorrectSentence(const CheckRecord& record) {
    const qint64 stored = GetSqlCount("select count(*) from UserSntn where Sentence = '" +
                                          SqlText(record.storedSentence) + "' and qcode = '" +
                                          SqlText(record.code) + "' ",
                                      record.course.userConn);
    if (stored >= 1) {
        return true;
    }
    return runStatement("insert into UserSntn values ( " + QString(" '") + record.id + "' ," +
                            " '" + SqlText(record.code) + "' ," + " '" +
                            SqlText(record.storedSentence) + "' ," + " #" + record.date + "# " +
                            " ) ",
                        record.course.userConn);
}

bool countMistake(const CheckRecord& record) {
    const QString code = SqlText(record.errCode);
    const QString& userConn = record.course.userConn;
    db::Recordset counted;
    if (!counted.open("select count(*) from mistakes where Errcode = '" + code + "' ", userConn)) {
        qWarning("Mistake query failed: %s", qUtf8Printable(counted.lastError()));
        return false;
    }
    if (counted.field(0).toLongLong() > 0) {
        return runStatement(
            "update mistakes set  times = times + 1 where Errcode = '" + code + "' ", userConn);
    }
    return runStatement("insert into mistakes values ( " + QString("'") + code + "'," + "1" + ")",
                        userConn);
}

// The selection stays where the learner may have moved it meanwhile.
void addToHistory(frmMain& window, int questionIndex) {
    ++gHistoryCount;
    if (gHistoryCount > kHistorySize) {
        for (int entry = 1; entry < kHistorySize; ++entry) {
            gHistory[entry] = gHistory[entry + 1];
        }
        gHistoryCount = kHistorySize;
    }
    gHistory[gHistoryCount] = questionIndex;
    gHistoryPos = gHistoryCount;
    window.SetTreeNowSelect(gNodeIndex, false);
}

bool setVisited(const CheckRecord& record, const QString& state) {
    return runStatement("update bswunit set VISITED = '" + state + "' where UNITID = '" +
                            SqlText(record.code) + "' ",
                        record.course.courseConn);
}

// A unit whose last open question is answered correctly is done.
void markFinished(frmMain& window, const TreeNode& question, const CheckRecord& record) {
    window.SetTreeIcon(question.index(), treeimage::kQuestionDone, treeimage::kQuestionDone);
    const TreeNode* unit = frmMain::unitNodeOf(&question);
    if (!unit) {
        return;
    }
    const qint64 openQuestions = GetSqlCount(
        "select count(*) from bswunit where PARENT = '" + SqlText(unit->key()) +
            "' and (VISITED = '1' or  VISITED = '2') and UNITID <> '" + SqlText(record.code) + "' ",
        record.course.courseConn);
    if (openQuestions == 0) {
        window.SetTreeIcon(unit->index(), treeimage::kUnitDone, treeimage::kUnitDone);
    }
}

// False when the new state could not be stored. The marks go to the checked
// question's node; none when it is no longer in the tree.
bool markProgress(frmMain& window, const CheckRecord& record, const TreeNode* question) {
    bool stored = true;
    if (!record.correct) {
        if (record.oldState == "1") {
            stored = setVisited(record, "2");
            if (question) {
                window.SetTreeIcon(question->index(), treeimage::kQuestionWrong,
                                   treeimage::kQuestionWrong);
            }
        }
        return stored;
    }
    if (record.oldState == "1" || record.oldState == "2") {
        stored = setVisited(record, "3");
    }
    if (question) {
        markFinished(window, *question, record);
    }
    return stored;
}

// An error message of the record step (icon 1, OK, caption "1"), answered.
void tellError(const QString& pMessageId) {
    MessageBoxAndWait(pMessageId, 1, "OK", "1");
}

// Both editions upload the sentence as the same form, each to its own script
// and with its own field naming the learner, which goes first. The form is
// submitted here; its answer is awaited afterwards. The service offline:
// nothing is posted, and the learner is told at the end of the check.
QString uploadSentence(frmMain& window, const QString& script,
                       const QPair<QString, QString>& learner, const QString& pPass,
                       const QString& pCourseId, const QString& pQcode, const QString& pFlag,
                       const QString& pSentence, const QString& pErrcode) {
    if (!IsServerOnline()) {
        return kConnectFailed;
    }
    const QString action = gServerURL + script;
    window.mSentenceUpload =
        std::make_unique<FormPost>(window.webUpload,
                                   FormPostPage(action, {learner,
                                                         {"pass", pPass},
                                                         {"courseId", pCourseId},
                                                         {"qcode", pQcode},
                                                         {"flag", pFlag},
                                                         {"errcode", pErrcode},
                                                         {"s", pSentence}}),
                                   action);
    return "OK_FINISH";
}

// An upload never sent (the service offline) and one lost on its way are
// told alike, once the record is written.
void awaitSentenceUpload(frmMain& window) {
    const std::unique_ptr<FormPost> upload = std::move(window.mSentenceUpload);
    if (!upload || !upload->awaitAnswer()) {
        tellError("1");
    }
}

// The checked question's node; none when the tree has lost it, or shows
// another course by now, whose questions may carry the same codes.
const TreeNode* checkedQuestionNode(const frmMain& window, const CheckRecord& record) {
    if (window.mTreeCourseId != record.course.id) {
        return nullptr;
    }
    return window.treMain->nodeByKey("QUIZ_" + record.code);
}

// The learner's side of the record, written whole before anything is asked
// of the service. The message that tells a step that failed: the disk that
// refused a write, or else the course's database that could not take it;
// "" when every step was written.
QString writeLocalRecord(frmMain& window, const CheckRecord& record) {
    bool written = true;
    bool refusedByDisk = false;
    const auto take = [&](bool stepWritten) {
        if (!stepWritten) {
            written = false;
            refusedByDisk = refusedByDisk || db::lastFailureWasDiskRefusal();
        }
    };
    if (gEdition == "LXV") {
        take(record.correct ? storeCorrectSentence(record) : storeWrongSentence(record));
    }
    if (!record.correct) {
        take(countMistake(record));
    }
    const TreeNode* question = checkedQuestionNode(window, record);
    if (question) {
        addToHistory(window, question->index());
    }
    take(markProgress(window, record, question));
    gStudyPageDirty = true;
    if (written) {
        return QString();
    }
    return RecordsNotStoredMessage(refusedByDisk);
}

void uploadRecord(frmMain& window, const CheckRecord& record) {
    if (gEdition == "LXV") {
        window.LXVInsertSentenceProc(gPno, gServerPassword, record.course.id, record.code,
                                     record.newFlag, record.storedSentence, record.errCode);
    } else {
        window.LXQInsertSentenceProc(gPno, gServerPassword, record.course.serverId, record.code,
                                     record.newFlag, record.storedSentence, record.errCode);
    }
}

// The record, then its upload submitted: the service's online test may hold
// the window for long, and a learner who ends a frozen window ends it with
// the record whole. An exit confirmed while the upload is submitted ends
// the program once it is. The message of a step that failed, as above.
QString writeRecord(frmMain& window, const CheckRecord& record) {
    const waits::FinishBeforeExit submitted;
    const QString failure = writeLocalRecord(window, record);
    uploadRecord(window, record);
    return failure;
}

}  // namespace

// An exit confirmed while the upload's answer is awaited ends the program at
// once: the record is whole by then.
void frmMain::recordCheckResult(const QString& pStatus, const QString& pErrCode,
                                const QString& pSentence, const QString& pQuestionCode,
                                const CheckedCourse& pCourse) {
    const QString failure =
        writeRecord(*this, workOutRecord(pStatus, pErrCode, pSentence, pQuestionCode, pCourse));
    awaitSentenceUpload(*this);
    // The check goes on to its end, the upload included (a sync brings the
    // uploaded result back), before the learner is told.
    if (!failure.isEmpty()) {
        tellError(failure);
    }
}

QString frmMain::LXVInsertSentenceProc(const QString& pPNO, const QString& pPass,
                                       const QString& pCourseId, const QString& pQcode,
                                       const QString& pFlag, const QString& pSentence,
                                       const QString& pErrcode) {
    return uploadSentence(*this, "p_lxv_proc_sentence.asp", {"pno", pPNO}, pPass, pCourseId, pQcode,
                          pFlag, pSentence, pErrcode);
}

QString frmMain::LXQInsertSentenceProc(const QString& pRegId, const QString& pPass,
                                       const QString& pCourseId, const QString& pQcode,
                                       const QString& pFlag, const QString& pSentence,
                                       const QString& pErrcode) {
    return uploadSentence(*this, "p_proc_sentence.asp", {"regid", pRegId}, pPass, pCourseId, pQcode,
                          pFlag, pSentence, pErrcode);
}
