#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "tests/support/mainwindowfixture.h"
#include "tests/support/standinprocess.h"

class TreeNode;
class frmFeedback;

// The main window with the demo course, its service and checking engine the
// stand-in, and the learner's moves of a sentence check: choose a question,
// type, press Enter or the check button.
class SentenceCheckTest : public MainWindowTest {
protected:
    using Fields = QList<QPair<QString, QString>>;

    void SetUp() override;
    void TearDown() override;

    // The demo course installed as courseNamedAs and opened at the start.
    void openWindow(const QString& edition = "LXV", const QString& courseNamedAs = "DEMO");
    void selectQuestion(const QString& unitId);
    TreeNode* node(const QString& key) const;
    void typeSentence(const QString& text);
    void pressEnter();
    void clickCheckButton();
    // Types the sentence into a freshly chosen question's box and presses
    // Enter.
    void check(const QString& unitId, const QString& sentence);
    // The feedback window shown and active, as the learner opens it.
    static frmFeedback* openFeedbackWindow();

    // The bodies of the requests that reached a script, as name and value
    // pairs in the order sent (browser forms decoded from their Big5 URL
    // encoding, the program's own requests as they stand).
    QList<Fields> formsPostedTo(const QString& script);
    static QString valueOf(const Fields& fields, const QString& name);
    static QStringList namesOf(const Fields& fields);

    // Rows of a query, each as its fields' texts.
    static QList<QStringList> rows(const QString& sql, const QString& connection);
    static QString visitedOf(const QString& unitId);

    StandinProcess standin;
    frmMain* window = nullptr;
};
