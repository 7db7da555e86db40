#include <QHash>
#include <QList>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/treeview.h"
#include "shared/coursepaths.h"
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

// A row of the course table, with what grouping the rows needs of it as
// stored: its id untrimmed, its parent, and whether it counts as an open
// question. A null or binary value equals no text, as in the database.
struct StoredRow {
    CourseRow row;
    QString storedUnitId;
    QString parent;
    bool hasParent = false;
    bool open = false;
};

bool isComparableText(const QVariant& value) {
    return value.isValid() && value.metaType().id() != QMetaType::QByteArray;
}

// The table's columns, looked up once for all its rows.
struct CourseColumns {
    explicit CourseColumns(const db::Recordset& record)
        : unitId(record.columnIndex(QStringLiteral("UNITID"))),
          parent(record.columnIndex(QStringLiteral("PARENT"))),
          text(record.columnIndex(QStringLiteral("TEXT"))),
          teachNotes(record.columnIndex(QStringLiteral("TEACHNOTES"))),
          visited(record.columnIndex(QStringLiteral("VISITED"))) {}

    int unitId;
    int parent;
    int text;
    int teachNotes;
    int visited;
};

StoredRow storedRowOf(const db::Recordset& record, const CourseColumns& columns) {
    StoredRow stored;
    stored.storedUnitId = record.field(columns.unitId).toString();
    const QVariant visited = record.field(columns.visited);
    stored.row = {Trim(stored.storedUnitId), Trim(record.field(columns.text).toString()),
                  Trim(record.field(columns.teachNotes).toString()), Trim(visited.toString())};
    const QVariant parent = record.field(columns.parent);
    stored.hasParent = isComparableText(parent);
    stored.parent = parent.toString();
    const QString visitedText = visited.toString();
    stored.open = isComparableText(visited) && (visitedText == "1" || visitedText == "2");
    return stored;
}

// The whole table in one query, in the order every part of the tree is
// listed in.
bool readStoredRows(QList<StoredRow>* rows) {
    db::Recordset record;
    if (!record.open("select * from bswunit order by UNITID", gCourseConnStr)) {
        qWarning("Course tree query failed: %s", qUtf8Printable(record.lastError()));
        return false;
    }
    const CourseColumns columns(record);
    rows->reserve(record.recordCount());
    for (; !record.eof(); record.moveNext()) {
        rows->append(storedRowOf(record, columns));
    }
    return true;
}

// The rows under each parent id, each list in table order.
using ChildRows = QHash<QString, QList<const StoredRow*>>;

ChildRows childRowsOf(const QList<StoredRow>& rows) {
    ChildRows children;
    for (const StoredRow& stored : rows) {
        if (stored.hasParent) {
            children[stored.parent].append(&stored);
        }
    }
    return children;
}

// The first row whose id ends in "0000" is the course itself.
const StoredRow* rootRowOf(const QList<StoredRow>& rows) {
    for (const StoredRow& stored : rows) {
        if (stored.storedUnitId.endsWith(QStringLiteral("0000"))) {
            return &stored;
        }
    }
    return nullptr;
}

UnitRows unitRowsOf(const CourseRow& unit, const ChildRows& children) {
    UnitRows rows;
    rows.unit = unit;
    for (const StoredRow* question : children.value(unit.unitId)) {
        rows.questions.append(question->row);
        rows.openQuestions += question->open ? 1 : 0;
    }
    return rows;
}

// Everything is read before the tree is touched, so that a course whose
// database fails part-way leaves the tree as it was.
bool loadCourseRows(CourseRows* course) {
    QList<StoredRow> rows;
    if (!readStoredRows(&rows)) {
        return false;
    }
    const StoredRow* root = rootRowOf(rows);
    if (!root) {
        return false;
    }
    course->root = root->row;
    const ChildRows children = childRowsOf(rows);
    for (const StoredRow* unit : children.value(course->root.unitId)) {
        course->units.append(unitRowsOf(unit->row, children));
    }
    return true;
}

bool readDescriptor(CourseDescriptor* descriptor) {
    return descriptor->read(CourseDescriptor::pathOf(gCourseId));
}

bool readCourse(CourseDescriptor* descriptor, CourseRows* rows) {
    const QString databasePath = CourseFolder(gCourseId) + "/LexivoData.mdb";
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
    const QString path = CourseFolder(gCourseId) + "/node.set";
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

enum class TreeBuild { Reselected, NothingSelected, Replaced };

// The click pumps events, and a course opened meanwhile replaces the tree:
// false then, and the rows still to come belong to no tree that is shown.
bool reselect(frmMain& window, TreeNode* node, Reselection* reselection) {
    reselection->found = true;
    window.treMain->setSelected(node);
    window.treMain_NodeClick(node);
    return window.treMain->contains(node);
}

// False when the tree was replaced meanwhile.
bool addQuestion(frmMain& window, const QString& unitKey, const CourseRow& question,
                 Reselection* reselection) {
    if (!isKnownProgress(question.visited)) {
        return true;
    }
    TreeNode* node = window.treMain->addNode(
        unitKey, "QUIZ_" + question.unitId, displayText(question.text),
        questionImage(question.visited), questionSelectedImage(question.visited));
    if (!node) {
        return true;
    }
    node->setTag(question.teachNotes);
    if (reselection->savedKey == node->key()) {
        if (!reselect(window, node, reselection)) {
            return false;
        }
        gQuizSelected = true;
    }
    return true;
}

// False when the tree was replaced meanwhile.
bool addUnit(frmMain& window, const QString& rootKey, const UnitRows& unit,
             Reselection* reselection) {
    const int image = unit.openQuestions > 0 ? treeimage::kUnitOpen : treeimage::kUnitDone;
    TreeNode* node =
        window.treMain->addNode(rootKey, unit.unit.unitId, displayText(unit.unit.text), image);
    if (!node) {
        return true;
    }
    node->setTag(unit.unit.teachNotes);
    // Without a saved node the first unit is chosen.
    if (reselection->savedKey.isEmpty()) {
        reselection->savedKey = unit.unit.unitId;
    }
    if (reselection->savedKey == node->key()) {
        if (!reselect(window, node, reselection)) {
            return false;
        }
        gQuizSelected = false;
    }
    for (const CourseRow& question : unit.questions) {
        if (!addQuestion(window, node->key(), question, reselection)) {
            return false;
        }
    }
    return true;
}

TreeBuild buildTree(frmMain& window, const CourseRows& rows) {
    window.treMain->hide();
    window.treMain->clear();
    // From here on the tree is this course's: a course refused during the
    // reselected node's click leaves this one open.
    window.mTreeCourseId = gCourseId;
    window.mTreeServerCourseId = gServerCourseId;
    TreeNode* root = window.treMain->addNode(QString(), rows.root.unitId, rows.root.text,
                                             treeimage::kCourseRoot);
    window.mRootNode = root;
    if (!root) {
        window.treMain->show();
        return TreeBuild::NothingSelected;
    }
    Reselection reselection{readSavedNodeKey()};
    for (const UnitRows& unit : rows.units) {
        if (!addUnit(window, root->key(), unit, &reselection)) {
            return TreeBuild::Replaced;
        }
    }
    if (reselection.found) {
        root->setExpanded(true);
    }
    window.treMain->show();
    return reselection.found ? TreeBuild::Reselected : TreeBuild::NothingSelected;
}

// A course that cannot be shown leaves the course whose tree is shown in
// place, so that the tree, gCourseId and the connection strings keep naming
// one course; with no tree shown no course is open ("A0").
void refuseCourse(frmMain& window) {
    MessageBoxAndWait("2997", 1, "OK", "1");
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
    const TreeBuild build = buildTree(*this, rows);
    // The course opened during the reselected node's click has finished its
    // own opening.
    if (build == TreeBuild::Replaced) {
        return true;
    }
    if (build == TreeBuild::NothingSelected) {
        showNoSelection();
    }

    if (gEdition == "LXV" && (gScheduleType == "NONE" || gScheduleType.isEmpty())) {
        mnuSchedule_Click();
    }
    SetFile_IO(gRegistrySetFile, "W", "coursePath", CourseFolder(gCourseId));
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
