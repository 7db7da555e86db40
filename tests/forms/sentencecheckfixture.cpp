#include "tests/forms/sentencecheckfixture.h"

#include <QLineEdit>
#include <QTest>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "startup/frmSchedule.h"
#include "workspace/frmFeedback.h"
#include "workspace/frmMain.h"

namespace {

QString decodedFormText(QByteArray text) {
    return big5::decode(QByteArray::fromPercentEncoding(text.replace('+', ' ')));
}

}  // namespace

void SentenceCheckTest::SetUp() {
    MainWindowTest::SetUp();
    ASSERT_TRUE(standin.start());
}

void SentenceCheckTest::TearDown() {
    MainWindowTest::TearDown();
    standin.stop();
}

void SentenceCheckTest::openWindow(const QString& edition, const QString& courseNamedAs) {
    setUpEdition(edition, standin.baseUrl());
    installDemoCourse(courseNamedAs);
    setLastCourse("DEMO");
    // As after the sign-in, which the LXQ and LXM editions need for the
    // course's progress.
    gServerURL = standin.baseUrl();
    gServerPassword = "demo";
    gServerCourseId = "DEMO";
    window = FormInstance<frmMain>::get();
    // The study-plan dialog that an LXV course without a plan opens with,
    // closed as the learner closes it.
    if (FormInstance<frmSchedule>::isLoaded()) {
        FormInstance<frmSchedule>::get()->imgClose_Click();
        FormInstance<frmSchedule>::unload();
    }
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    standin.clearLog();
}

void SentenceCheckTest::selectQuestion(const QString& unitId) {
    window->treMain->clickNode(node("QUIZ_" + unitId));
}

TreeNode* SentenceCheckTest::node(const QString& key) const {
    return window->treMain->nodeByKey(key);
}

void SentenceCheckTest::typeSentence(const QString& text) {
    window->txtInput->setFocus();
    QTest::keyClicks(window->txtInput, text);
}

void SentenceCheckTest::pressEnter() {
    QTest::keyClick(window->txtInput, Qt::Key_Return);
}

void SentenceCheckTest::clickCheckButton() {
    QTest::mouseClick(window->picMenus[8], Qt::LeftButton, {}, QPoint(3, 3));
}

void SentenceCheckTest::check(const QString& unitId, const QString& sentence) {
    selectQuestion(unitId);
    typeSentence(sentence);
    pressEnter();
}

frmFeedback* SentenceCheckTest::openFeedbackWindow() {
    frmFeedback* feedback = FormInstance<frmFeedback>::get();
    feedback->show();
    feedback->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(feedback));
    return feedback;
}

QList<SentenceCheckTest::Fields> SentenceCheckTest::formsPostedTo(const QString& script) {
    QList<Fields> forms;
    for (const StandinRequest& request : standin.log()) {
        if (!request.path.endsWith("/" + script.toLatin1())) {
            continue;
        }
        const bool browserForm = !request.contentType.contains("text/xml");
        Fields fields;
        for (const QByteArray& part : request.body.split('&')) {
            const qsizetype equals = part.indexOf('=');
            const QByteArray name = equals < 0 ? part : part.left(equals);
            const QByteArray value = equals < 0 ? QByteArray() : part.mid(equals + 1);
            fields.append(browserForm ? qMakePair(decodedFormText(name), decodedFormText(value))
                                      : qMakePair(big5::decode(name), big5::decode(value)));
        }
        forms.append(fields);
    }
    return forms;
}

QString SentenceCheckTest::valueOf(const Fields& fields, const QString& name) {
    for (const auto& [fieldName, value] : fields) {
        if (fieldName == name) {
            return value;
        }
    }
    return QString();
}

QStringList SentenceCheckTest::namesOf(const Fields& fields) {
    QStringList names;
    for (const auto& field : fields) {
        names.append(field.first);
    }
    return names;
}

QList<QStringList> SentenceCheckTest::rows(const QString& sql, const QString& connection) {
    QList<QStringList> result;
    db::Recordset record;
    if (!record.open(sql, connection)) {
        ADD_FAILURE() << record.lastError().toStdString();
        return result;
    }
    for (; !record.eof(); record.moveNext()) {
        QStringList row;
        for (int i = 0; i < record.fieldCount(); ++i) {
            row.append(record.field(i).toString());
        }
        result.append(row);
    }
    return result;
}

QString SentenceCheckTest::visitedOf(const QString& unitId) {
    return rows("select VISITED from bswunit where UNITID = '" + unitId + "'", gCourseConnStr)
        .value(0)
        .value(0);
}
