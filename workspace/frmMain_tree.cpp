#include <QList>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/descramble.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/settingsfiles.h"
#include "workspace/coursedescriptor.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/treeimages.h"

namespace {

struct CourseRow {
    QString unitId;
    QString text;
    QString teachNotes;
    QString visited;
};

struct UnitRows {
    CourseRow unit;
    qint64 openQuestions = 0;
    QList<CourseRow> questions;
};

struct CourseRows {
    CourseRow root;
    QList<UnitRows> units;
};

QString courseFolder() {
    return gBasePath + "/Lexivo2/" + gCourseId;
}

CourseRow rowOf(const db::Recordset& record) {
    return {Trim(record.text(QStringLiteral("UNITID"))), Trim(record.text(QStringLiteral("TEXT"))),
            Trim(record.text(QStringLiteral("TEACHNOTES"))),
            Trim(record.text(QStringLiteral("VISITED")))};
}

bool queryRows(const QString& sql, QList<CourseRow>* rows) {
    db::Recordset record;
    if (!record.open(sql, gCourseConnStr)) {
        qWarning("Course tree query failed: %s", qUtf8Printable(record.lastError()));
        return false;
    }
    for (; !record.eof(); record.moveNext()) {
        rows->append(rowOf(record));
    }
    return true;
}

bool queryCount(const QString& sql, qint64* count) {
    db::Recordset record;
    if (!record.open(sql, gCourseConnStr) || record.eof()) {
        qWarning("Course tree count failed: %s", qUtf8Printable(record.lastError()));
        return false;
    }
    *count = record.field(0).toLongLong();
    return true;
}

QString childrenSql(const QString& parentId) {
    return "select * from bswunit where PARENT = '" + SqlText(parentId) + "' order by UNITID";
}

QString openQuestionsSql(const QString& unitId) {
    return "select count(*) from bswunit where PARENT = '" + SqlText(unitId) +
           "' and (VISITED = '1' or  VISITED = '2')";
}

bool loadUnit(const CourseRow& unit, UnitRows* rows) {
    rows->unit = unit;
    return queryCount(openQuestionsSql(unit.unitId), &rows->openQuestions) &&
           queryRows(childrenSql(unit.unitId), &rows->questions);
}

// Everything is read before the tree is touched, so that a course whose
// database fails part-way leaves the tree as it was.
bool loadCourseRows(CourseRows* course) {
    QList<CourseRow> roots;
    if (!queryRows("select * from bswunit where unitid like '%0000' order by UNITID", &roots) ||
        roots.isEmpty()) {
        return false;
    }
    course->root = roots.first();
    QList<CourseRow> units;
    if (!queryRows(childrenSql(course->root.unitId), &units)) {
        return false;
    }
    for (const CourseRow& unit : std::as_const(units)) {
        UnitRows rows;
        if (!loadUnit(unit, &rows)) {
            return false;
        }
        course->units.append(rows);
    }
    return true;
}

bool readDescriptor(CourseDescriptor* descriptor) {
    return descriptor->read(CourseDescriptor::pathOf(gCourseId));
}

bool readCourse(CourseDescriptor* descriptor, CourseRows* rows) {
    const QString databasePath = courseFolder() + "/LexivoData.mdb";
    if (!FileExists(CourseDescriptor::pathOf(gCourseId)) || !FileExists(databasePath)) {
        return false;
    }
    return readDescriptor(descriptor) && loadCourseRows(rows);
}

// A file that holds no complete plan (too short, a day count that is no
// whole number, dates that are no dates) means no plan, as for every other
// reader of the file: the learner is asked for one.
void takePlan(const CourseDescriptor& descriptor) {
    if (!descriptor.hasReadablePlan() || !descriptor.hasReadableDates()) {
        gScheduleType = "NONE";
        gScheduleDays = 0;
        gScheduleStart = QDate::currentDate();
        gScheduleEnd = gScheduleStart;
        return;
    }
    gScheduleType = descriptor.line(CourseDescriptor::kPlanNameLine);
    gScheduleDays = descriptor.planDays();
    gScheduleStart = descriptor.planStart();
    gScheduleEnd = descriptor.planEnd();
}

void takeDescriptor(const CourseDescriptor& descriptor) {
    gRootUnitId = descriptor.line(CourseDescriptor::kIdLine);
    gCourseName = descriptor.line(CourseDescriptor::kNameLine);
    takePlan(descriptor);
}

// The key that node.set holds: the first field, written between double
// quotes, read without them.
QString readSavedNodeKey() {
    const QString path = courseFolder() + "/node.set";
    if (!FileExists(path)) {
        return QString();
    }
    const QString line = big5::readLines(path).value(0);
    const QString field = Trim(line);
    if (field.startsWith('"')) {
        const qsizetype closing = field.indexOf('"', 1);
        return closing < 0 ? field.mid(1) : field.mid(1, closing - 1);
    }
    return Trim(field.section(',', 0, 0));
}

QString displayText(const QString& stored) {
    const QString decoded = DecodeMdbString(stored);
    return Trim(decoded).isEmpty() ? stored : decoded;
}

int questionImage(const QString& visited) {
    if (visited == "1") {
        return treeimage::kQuestionNew;
    }
    return visited == "2" ? treeimage::kQuestionWrong : treeimage::kQuestionDone;
}

int questionSelectedImage(const QString& visited) {
    return visited == "1" ? treeimage::kQuestionNewSelected : questionImage(visited);
}

bool isKnownProgress(const QString& visited) {
    return visited == "1" || visited == "2" || visited == "3";
}

// The saved node's click runs as soon as that node is there, as a learner's
// click would, while the nodes after it are still to come.
struct Reselection {
    QString savedKey;
    bool found = false;
};

void reselect(frmMain& window, TreeNode* node, Reselection* reselection) {
    reselection->found = true;
    window.treMain->setSelected(node);
    window.treMain_NodeClick(node);
}

void addQuestion(frmMain& window, const QString& unitKey, const CourseRow& question,
                 Reselection* reselection) {
    if (!isKnownProgress(question.visited)) {
        return;
    }
    TreeNode* node = window.treMain->addNode(
        unitKey, "QUIZ_" + question.unitId, displayText(question.text),
        questionImage(question.visited), questionSelectedImage(question.visited));
    if (!node) {
        return;
    }
    node->setTag(question.teachNotes);
    if (reselection->savedKey == node->key()) {
        reselect(window, node, reselection);
        gQuizSelected = true;
    }
}

void addUnit(frmMain& window, const QString& rootKey, const UnitRows& unit,
             Reselection* reselection) {
    const int image = unit.openQuestions > 0 ? treeimage::kUnitOpen : treeimage::kUnitDone;
    TreeNode* node =
        window.treMain->addNode(rootKey, unit.unit.unitId, displayText(unit.unit.text), image);
    if (!node) {
        return;
    }
    node->setTag(unit.unit.teachNotes);
    // Without a saved node the first unit is chosen.
    if (reselection->savedKey.isEmpty()) {
        reselection->savedKey = unit.unit.unitId;
    }
    if (reselection->savedKey == node->key()) {
        reselect(window, node, reselection);
        gQuizSelected = false;
    }
    for (const CourseRow& question : unit.questions) {
        addQuestion(window, node->key(), question, reselection);
    }
}

// True when the saved node was found and clicked.
bool buildTree(frmMain& window, const CourseRows& rows) {
    window.treMain->hide();
    window.treMain->clear();
    window.mRootNode = window.treMain->addNode(QString(), rows.root.unitId, rows.root.text,
                                               treeimage::kCourseRoot);
    if (!window.mRootNode) {
        window.treMain->show();
        return false;
    }
    Reselection reselection{readSavedNodeKey()};
    for (const UnitRows& unit : rows.units) {
        addUnit(window, window.mRootNode->key(), unit, &reselection);
    }
    if (reselection.found) {
        window.mRootNode->setExpanded(true);
    }
    window.treMain->show();
    return true;
}

// A course that cannot be shown leaves the course whose tree is shown in
// place, so that the tree, gCourseId and the connection strings keep naming
// one course; with no tree shown no course is open ("A0").
void refuseCourse(frmMain& window) {
    FormInstance<frmMessage>::get()->MessageBox("2997", 1, "OK", "1");
    waitUntil([] { return !gMsgResult.isEmpty(); });
    if (window.mTreeCourseId.isEmpty()) {
        gCourseId = "A0";
    } else {
        gCourseId = window.mTreeCourseId;
        gServerCourseId = window.mTreeServerCourseId;
    }
    BuildConnStrings();
}

void connectTree(frmMain* window) {
    QObject::connect(window->treMain, &TreeView::NodeClick, window, &frmMain::treMain_NodeClick,
                     Qt::UniqueConnection);
}

}  // namespace

bool frmMain::GetListTree() {
    connectTree(this);
    BuildConnStrings();
    CourseDescriptor descriptor;
    CourseRows rows;
    if (!readCourse(&descriptor, &rows)) {
        refuseCourse(*this);
        return false;
    }
    takeDescriptor(descriptor);
    // The course database names the course, whatever the descriptor says.
    gRootUnitId = rows.root.unitId;
    gCourseName = rows.root.text;
    buildTree(*this, rows);
    mTreeCourseId = gCourseId;
    mTreeServerCourseId = gServerCourseId;

    if (gEdition == "LXV" && (gScheduleType == "NONE" || gScheduleType.isEmpty())) {
        mnuSchedule_Click();
    }
    SetFile_IO(gRegistrySetFile, "W", "coursePath", courseFolder());
    return true;
}

void frmMain::SetTreeIcon(int pTreeIndex, int pImageIndex, int pSelectedImageIndex) {
    TreeNode* node = treMain->nodeByIndex(pTreeIndex);
    if (!node) {
        return;
    }
    node->setImage(pImageIndex);
    node->setSelectedImage(pSelectedImageIndex);
}

void frmMain::SetTreeNowSelect(int pTreeIndex, bool pReGetPage) {
    TreeNode* node = treMain->nodeByIndex(pTreeIndex);
    if (!node) {
        return;
    }
    treMain->setSelected(node);
    using namespace mainmeasures;
    SetMenuButtons(kButtonHistoryBack, gHistoryPos > 1 ? kStyleEnable : kStyleDisable);
    SetMenuButtons(kButtonHistoryForward,
                   gHistoryPos < gHistoryCount ? kStyleEnable : kStyleDisable);
    if (pReGetPage) {
        treMain_NodeClick(node);
    }
}
