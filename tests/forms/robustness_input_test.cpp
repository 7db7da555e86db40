#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "tests/forms/sentencecheckfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmFeedback.h"
#include "workspace/frmMain.h"
#include "workspace/frmMenu.h"
#include "workspace/frmSearch.h"

// What a learner pastes or types into the input box, the search box and
// the feedback window, with the characters that tend to break a request, a
// statement, a page or the line-by-line hand-off file.

namespace {

const QString kCannotSend = QStringLiteral("無法傳送至伺服器");
constexpr int kBoxLimit = 32767;

class LearnerInputTest : public SentenceCheckTest {
protected:
    void SetUp() override {
        SentenceCheckTest::SetUp();
        openWindow();
        selectQuestion("U1000101");
    }

    QLineEdit* box() const { return window->txtInput; }

    void pasteWithKeys(const QString& text) {
        QApplication::clipboard()->setText(text);
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    }
    void pasteWithMenu(const QString& text) {
        QApplication::clipboard()->setText(text);
        QTest::mouseClick(box(), Qt::RightButton, {}, QPoint(5, 5));
        QMenu* menu = FormInstance<frmMenu>::get()->mnuTextPopup;
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(
            menu, Qt::LeftButton, {},
            menu->actionGeometry(FormInstance<frmMenu>::get()->mnuTextPaste).center());
    }

    // The sentences that reached the engine, blanks back from "%20" and "+"
    // from "%2B".
    QStringList gradedSentences() {
        QStringList sentences;
        for (const Fields& form : formsPostedTo("p_passWebEngine.asp")) {
            sentences << valueOf(form, "s").replace("%20", " ").replace("%2B", "+");
        }
        return sentences;
    }
    QStringList uploadedSentences() {
        QStringList sentences;
        for (const Fields& form : formsPostedTo("p_lxv_proc_sentence.asp")) {
            sentences << valueOf(form, "s");
        }
        return sentences;
    }
    static QStringList wrongSentences() {
        QStringList sentences;
        for (const QStringList& row : rows("select sentence from errsentence", gUserConnStr)) {
            sentences << row.value(0);
        }
        return sentences;
    }
    static QStringList ownSentences() {
        QStringList sentences;
        for (const QStringList& row : rows("select Sentence from UserSntn", gUserConnStr)) {
            sentences << row.value(0);
        }
        return sentences;
    }

    // A refused sentence: the message names the piece, nothing went out or
    // was stored, and the learner can edit the sentence where it stands.
    void expectRefused(const MessageAnswerer& answerer, const QString& piece,
                       const QString& sentence) {
        ASSERT_EQ(answerer.texts().size(), 1) << answerer.texts().join('|').toStdString();
        EXPECT_TRUE(answerer.texts().first().contains("「" + piece + "」" + kCannotSend))
            << answerer.texts().first().toStdString();
        EXPECT_TRUE(gradedSentences().isEmpty());
        EXPECT_TRUE(uploadedSentences().isEmpty());
        EXPECT_TRUE(wrongSentences().isEmpty());
        EXPECT_TRUE(ownSentences().isEmpty());
        EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), "0");
        EXPECT_EQ(box()->text(), sentence);
        EXPECT_TRUE(box()->isEnabled());
        EXPECT_FALSE(window->mCheckRunning);
    }
};

// The box's key filter keeps these characters out; a paste brings them in,
// and they then travel as they are (a "'" stored and uploaded as "’").
TEST_F(LearnerInputTest, PastedSymbolsReachTheEngineTheDatabaseAndTheServiceAsTyped) {
    const QString wrong = "he said \"1 < 2\" is 100% true_ok = #1 | <b>yes</b> + more.";
    pasteWithKeys(wrong);
    EXPECT_EQ(box()->text(), wrong);
    pressEnter();

    selectQuestion("U1000102");
    const QString correct = "It's \"fine\" <i>today</i> = 50% of #2 | a_b.";
    pasteWithMenu(correct);
    EXPECT_EQ(box()->text(), correct);
    pressEnter();

    EXPECT_EQ(gradedSentences(), QStringList({wrong, correct}));
    EXPECT_EQ(wrongSentences(), QStringList{wrong});
    const QString stored = QString(correct).replace('\'', QChar(0x2019));
    EXPECT_EQ(ownSentences(), QStringList{stored});
    EXPECT_EQ(uploadedSentences(), QStringList({wrong, stored}));
}

TEST_F(LearnerInputTest, AnAmpersandIsRefusedBeforeAnythingIsSentOrStored) {
    const QString sentence = "Tom & Jerry are friends.";
    pasteWithKeys(sentence);
    MessageAnswerer answerer("OK");
    pressEnter();
    expectRefused(answerer, "&", sentence);

    // Once the learner takes it out, the sentence goes.
    box()->setText("Tom and Jerry are friends.");
    pressEnter();
    EXPECT_EQ(gradedSentences(), QStringList{"Tom and Jerry are friends."});
}

// The engine turns "%20" back into a blank.
TEST_F(LearnerInputTest, AnEncodedBlankIsRefused) {
    const QString sentence = "Go to a%20b now.";
    pasteWithMenu(sentence);
    MessageAnswerer answerer("OK");
    clickCheckButton();
    expectRefused(answerer, "%20", sentence);
}

TEST_F(LearnerInputTest, CharactersOutsideBig5AreNamedInsteadOfSentAsQuestionMarks) {
    const QList<QPair<QString, QString>> cases = {
        {"I like the café.", "é"},  {"The Straße is long.", "ß"}, {"I am happy 😀 today.", "😀"},
        {"I read ひらがな.", "ひ"}, {"我们 are friends.", "们"},
    };
    for (const auto& [sentence, piece] : cases) {
        SCOPED_TRACE(sentence.toStdString());
        box()->clear();
        pasteWithKeys(sentence);
        MessageAnswerer answerer("OK");
        pressEnter();
        expectRefused(answerer, piece, sentence);
    }
}

TEST_F(LearnerInputTest, TraditionalChineseGoesThroughAsTyped) {
    const QString sentence = "My friend 小明 is nice.";
    pasteWithKeys(sentence);
    pressEnter();
    EXPECT_EQ(gradedSentences(), QStringList{sentence});
    EXPECT_EQ(ownSentences(), QStringList{sentence});
}

// A line box shows a pasted line break as a blank; the sentence holds the
// blank too, so the hand-off file keeps one sentence line and no key that
// the paste brought.
TEST_F(LearnerInputTest, PastedLineBreaksBecomeBlanks) {
    pasteWithKeys("my name\r\nqcode=X1\tis Tom.");
    EXPECT_EQ(box()->text(), "my name  qcode=X1 is Tom.");
    pressEnter();

    EXPECT_EQ(gradedSentences(), QStringList{"my name  qcode=X1 is Tom."});
    EXPECT_EQ(wrongSentences(), QStringList{"my name  qcode=X1 is Tom."});
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "qcode"), "U1000101");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "X1 is Tom."), "");

    // A paste of nothing but line breaks is blanks: the buttons stay off.
    box()->clear();
    pasteWithMenu("\n\r\n");
    EXPECT_EQ(box()->text(), "   ");
    EXPECT_FALSE(window->picMenus[8]->isEnabled());
}

TEST_F(LearnerInputTest, ATenThousandCharacterPasteIsCheckedWhole) {
    QString sentence;
    while (sentence.size() < 10000) {
        sentence += "my name is Tom and ";
    }
    sentence.truncate(9999);
    sentence += '.';
    pasteWithKeys(sentence);
    ASSERT_EQ(box()->text().size(), 10000);
    pressEnter();

    EXPECT_EQ(gradedSentences(), QStringList{sentence});
    EXPECT_EQ(wrongSentences(), QStringList{sentence});
    EXPECT_EQ(uploadedSentences(), QStringList{sentence});
    EXPECT_TRUE(box()->isEnabled());
}

// The box holds what it can; what it holds is what is checked.
TEST_F(LearnerInputTest, APastePastTheBoxLimitKeepsWhatTheBoxHolds) {
    pasteWithMenu("I" + QString(kBoxLimit + 5000, 'i') + ".");
    ASSERT_EQ(box()->text().size(), kBoxLimit);
    pressEnter();
    EXPECT_EQ(gradedSentences(), QStringList{box()->text()});
    EXPECT_EQ(wrongSentences(), QStringList{box()->text()});
    EXPECT_EQ(uploadedSentences(), QStringList{box()->text()});
    EXPECT_TRUE(box()->isEnabled());
}

// The sentence comes back from the hand-off file for the wrong-sentence
// record and the feedback window.
TEST_F(LearnerInputTest, SentencesHoldingEqualsSignsAreRecordedWhole) {
    const QStringList sentences = {"a = b = c is true", "if a == b then", "the sum is ="};
    for (const QString& sentence : sentences) {
        box()->setText(sentence);
        pressEnter();
        EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), sentence);
        EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "qcode"), "U1000101");
    }
    EXPECT_EQ(wrongSentences(), sentences);
    EXPECT_EQ(uploadedSentences(), sentences);

    frmFeedback* feedback = FormInstance<frmFeedback>::get();
    EXPECT_EQ(feedback->lblSentence->text(), sentences.last());
    EXPECT_EQ(feedback->mSentence, sentences.last());
}

class FeedbackInputTest : public LearnerInputTest {
protected:
    frmFeedback* openFeedback() { return form = openFeedbackWindow(); }
    void describe(const QString& text) {
        QTest::mouseClick(form->txtDesc->viewport(), Qt::LeftButton);
        form->txtDesc->insertPlainText(text);
    }
    void send() {
        MessageAnswerer answerer("OK");
        QTest::mouseClick(form->cmdSend, Qt::LeftButton);
        shown = answerer.texts();
    }
    QList<Fields> feedbackPosts() { return formsPostedTo("p_feedback.asp"); }

    frmFeedback* form = nullptr;
    QStringList shown;
};

TEST_F(FeedbackInputTest, SymbolsInTheSentenceAndTheDescriptionReachTheServiceAsTyped) {
    box()->setText("x == y # 100% | <b>_</b>");
    pressEnter();
    openFeedback();
    const QString description = "Is '==' right? 50% <i>&amp;</i> a_b #1 | \"ok\"";
    describe(description);
    send();

    const QList<Fields> posts = feedbackPosts();
    ASSERT_EQ(posts.size(), 1);
    EXPECT_EQ(valueOf(posts.first(), "sentence"), "x == y # 100% | <b>_</b>");
    EXPECT_EQ(valueOf(posts.first(), "remarks"), description);
    EXPECT_FALSE(FormInstance<frmFeedback>::isLoaded());
}

TEST_F(FeedbackInputTest, CharactersOutsideBig5InTheDescriptionAreNamedAndNothingIsSent) {
    SetFile_IO(gRegistrySetFile, "W", "sentence", "My name is Tom.");
    openFeedback();
    describe("The word café 😀 is fine.");
    send();

    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains("「é」" + kCannotSend)) << shown.first().toStdString();
    EXPECT_TRUE(feedbackPosts().isEmpty());
    ASSERT_TRUE(FormInstance<frmFeedback>::isLoaded());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->txtDesc->toPlainText(), "The word café 😀 is fine.");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), "My name is Tom.");

    form->txtDesc->setPlainText("The word 咖啡 is fine.");
    send();
    EXPECT_EQ(valueOf(feedbackPosts().value(0), "remarks"), "The word 咖啡 is fine.");
}

class SearchInputTest : public LearnerInputTest {
protected:
    void SetUp() override {
        LearnerInputTest::SetUp();
        // A stored line that does not descramble is searched as stored.
        db::Recordset update;
        ASSERT_TRUE(
            update.open("update bswqcont set Q1 = 'Tom & Jerry <say> ''hi'' 100%' "
                        "where QCODE = 'U2000105'",
                        gCourseConnStr));
        search = FormInstance<frmSearch>::get();
        search->show();
    }

    QString find(const QString& text) {
        selectQuestion("U1000101");
        search->txtSearch->setText(text);
        QTest::mouseClick(search->cmdSearch, Qt::LeftButton);
        return window->treMain->selectedItem()->key();
    }

    frmSearch* search = nullptr;
};

TEST_F(SearchInputTest, SymbolsAreSearchedAsTextAndNothingBreaksTheStatement) {
    EXPECT_EQ(find("Jerry <say> 'hi'"), "QUIZ_U2000105");
    EXPECT_EQ(find("& J"), "QUIZ_U2000105");
    EXPECT_EQ(find("hi'' 1"), "QUIZ_U1000101");
    EXPECT_EQ(search->lblMessage->text(), "沒有找到符合內容");
    EXPECT_EQ(find("'); drop table bswqcont; --"), "QUIZ_U1000101");
    EXPECT_EQ(find("Jerry <say>"), "QUIZ_U2000105");
    EXPECT_TRUE(search->cmdSearch->isEnabled());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(SearchInputTest, LongAndForeignTextsFindNothingAndLeaveTheWindowUsable) {
    for (const QString& text :
         {QString("café 😀 ひ 们"), QString(10000, 'a'), QString(kBoxLimit, QChar(0x4E2D))}) {
        SCOPED_TRACE(text.left(10).toStdString());
        EXPECT_EQ(find(text), "QUIZ_U1000101");
        EXPECT_EQ(search->lblMessage->text(), "沒有找到符合內容");
        EXPECT_TRUE(search->txtSearch->isEnabled());
        EXPECT_TRUE(window->isEnabled());
    }
}

}  // namespace
