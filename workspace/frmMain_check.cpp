#include <algorithm>
#include <chrono>
#include <optional>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QRandomGenerator>

#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/httpdeadline.h"
#include "platform/waituntil.h"
#include "shared/enginelocator.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/killapp.h"
#include "shared/md5.h"
#include "shared/request.h"
#include "shared/sendabletext.h"
#include "shared/settingsfiles.h"
#include "workspace/enginereply.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/frmMenu.h"
#include "workspace/inputboxevents.h"
#include "workspace/singlelinevalidator.h"

using namespace mainmeasures;

namespace {

constexpr int kEngineGiveUpTicks = 30;
constexpr int kKeyEnter = 13;
// Characters that the box refuses from the keyboard (a paste still brings
// them in).
const QString kSwallowedCharacters = QStringLiteral("/@#%^_&*()\"<>");

QString questionCode() {
    return QString(gNodeKey).remove("QUIZ_");
}

bool isUniqueQuestion(const QString& code) {
    db::Recordset unit;
    if (!unit.open("select * from bswunit where UNITID = '" + SqlText(code) + "' ",
                   gCourseConnStr)) {
        qWarning("Question query failed: %s", qUtf8Printable(unit.lastError()));
        return false;
    }
    return !unit.eof() && Trim(unit.text("IsUnique")) == "1";
}

// Apostrophes, and blanks around the example, make no difference; letter
// case does.
bool copiesAnExample(const QString& sentence, const QString& code) {
    if (isUniqueQuestion(code)) {
        return false;
    }
    db::Recordset examples;
    if (!examples.open("select * from example where QCODE = '" + SqlText(code) + "' ",
                       gCourseConnStr)) {
        qWarning("Example query failed: %s", qUtf8Printable(examples.lastError()));
        return false;
    }
    const QString typed = QString(sentence).remove('\'');
    for (; !examples.eof(); examples.moveNext()) {
        if (Trim(examples.text("sentence")).remove('\'') == typed) {
            return true;
        }
    }
    return false;
}

// Blanks travel to the engine as "%20", which it turns back into blanks, so
// a "%20" in the sentence would not arrive as typed either.
QString unsendableInSentence(const QString& sentence) {
    const QString piece = firstUnsendableInRequest(sentence);
    if (!piece.isEmpty()) {
        return piece;
    }
    return sentence.contains("%20") ? QStringLiteral("%20") : QString();
}

void handSentenceOver(const QString& sentence, const QString& code) {
    RegistrySet_IO("RESET");
    SetFile_IO(gRegistrySetFile, "W", "sentence", sentence);
    SetFile_IO(gRegistrySetFile, "W", "qcode", code);
}

// Two numbers from 1 to 49 and their sum, each as its last two digits, so
// that the engine can tell a check of this program from a stray post.
QString checkToken() {
    QRandomGenerator random(QRandomGenerator::system()->generate());
    const auto draw = [&random] { return int(RoundHalfEven(random.bounded(48.0))) + 1; };
    const int first = draw();
    const int second = draw();
    QString token;
    for (const int number : {first, second, first + second}) {
        token += QString::number(number + 100).mid(1, 2);
    }
    return token;
}

// The engine reads its fields as form text, where a "+" stands for a blank:
// a "+" of the sentence goes as "%2B", or it would be graded as a blank and
// fail its checksum.
QString sentenceOnTheWire(const QString& sentence) {
    return QString(sentence).replace(" ", "%20").replace("+", "%2B");
}

QString engineForm(const QString& sentence, const QString& code, const QString& token) {
    return RequestForm({{"pno", gPno},
                        {"pnomd5", MD5(gPno)},
                        {"checksum", MD5(QString(sentence).remove(' '))},
                        {"p1", "beta"},
                        {"p2", "0"},
                        {"p3", token},
                        {"cidx", code},
                        {"s", sentenceOnTheWire(sentence)}});
}

qint64 tickInterval(const frmMain& window) {
    return std::max(1, window.tmrEngineResponse.interval());
}

// A post that blocks holds the timer back, so the ticks are brought up to
// the clock here: the wait ends with the first blocked post that ends past
// the limit, not with the next one.
bool engineWaitIsOver(frmMain& window) {
    const int ticksByClock = int(window.mEngineWaitClock.elapsed() / tickInterval(window));
    window.mEngineTicks = std::max(window.mEngineTicks, ticksByClock);
    return window.mEngineTicks >= kEngineGiveUpTicks;
}

// A post that fails counts as a reply that is not taken.
std::optional<EngineReply> askEngine(const QString& sentence, const QString& code,
                                     const QString& token) {
    if (!CheckWebEngineConn(true)) {
        return std::nullopt;
    }
    const std::optional<QString> reply =
        PostRequest(gWebEngineURL + "p_passWebEngine.asp", engineForm(sentence, code, token));
    return reply ? takeEngineReply(*reply) : std::nullopt;
}

// A pass lasts the pause between tries at least, so that a service that
// fails every request at once is not asked in a tight loop; events run for
// the rest of it, and at least once.
void finishPass(const QPointer<frmMain>& window, const QElapsedTimer& pass) {
    const qint64 rest = kPauseBetweenEngineTries.count() - pass.elapsed();
    if (rest > 0) {
        waitUntil([&window] { return !window; }, int(rest));
    } else {
        doEvents();
    }
}

// The reply that the engine gave; none when the wait timed out (message 39),
// the window went away or the program is ending. Every post of one check
// carries the same token. The limit bounds every request of the wait, the
// engine's look-up and its prompts included: once it has passed, the
// look-up fails at once and the wait ends.
std::optional<EngineReply> waitForEngine(const QPointer<frmMain>& window, const QString& sentence,
                                         const QString& code) {
    const QString token = checkToken();
    window->mEngineTicks = 0;
    window->mEngineWaitClock.start();
    window->tmrEngineResponse.start();
    const HttpDeadline limit(std::chrono::milliseconds(kEngineGiveUpTicks * tickInterval(*window)));
    while (!waits::ending()) {
        QElapsedTimer pass;
        pass.start();
        std::optional<EngineReply> reply = askEngine(sentence, code, token);
        if (reply || !window) {
            return reply;
        }
        if (engineWaitIsOver(*window)) {
            window->tmrEngineResponse.stop();
            MessageBoxAndWait("39", 1, "OK", "1");
            return std::nullopt;
        }
        finishPass(window, pass);
        if (!window) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void showAndRecord(frmMain& window, const EngineReply& reply, const QString& sentence,
                   const QString& code, const frmMain::CheckedCourse& course) {
    const QPointer<frmMain> guard(&window);
    window.webMain->Navigate2(gWebEngineURL + reply.page);
    doEvents();
    if (!guard) {
        return;
    }
    SetFile_IO(gRegistrySetFile, "W", "htm4chk", "");
    window.recordCheckResult(reply.status, reply.errCode, sentence, code, course);
}

}  // namespace

void frmMain::connectSentenceCheck() {
    connect(txtInput, &QLineEdit::textChanged, this, &frmMain::txtInput_Change);
    // The edit menu of its own replaces the box's standard one.
    txtInput->setContextMenuPolicy(Qt::PreventContextMenu);
    txtInput->setValidator(new SingleLineValidator(txtInput));
    new InputBoxEvents(this, txtInput);
    connect(&tmrEngineResponse, &QTimer::timeout, this, &frmMain::tmrEngineResponse_Timer);
}

// A check is for the question that the learner sees selected: with a unit
// or no node selected, text left in the hidden answer box would be recorded
// under a code that names no question.
void frmMain::PassStringToEngine() {
    if (mCheckRunning || !gQuizSelected) {
        return;
    }
    mCheckRunning = true;
    const QPointer<frmMain> self(this);
    KillApp("glossor2.exe");
    txtInput->setEnabled(false);
    const QString sentence = txtInput->text();
    const QString code = questionCode();
    const CheckedCourse course{gCourseId, gServerCourseId, gCourseConnStr, gUserConnStr};
    const QString unsendable = unsendableInSentence(sentence);
    if (!unsendable.isEmpty()) {
        showUnsendableAndWait(unsendable);
    } else if (copiesAnExample(sentence, code)) {
        MessageBoxAndWait("2976", 1, "OK", "0");
    } else {
        handSentenceOver(sentence, code);
        const std::optional<EngineReply> reply = waitForEngine(self, sentence, code);
        if (!self) {
            return;
        }
        tmrEngineResponse.stop();
        if (reply) {
            showAndRecord(*this, *reply, sentence, code, course);
        }
    }
    if (!self) {
        return;
    }
    txtInput->setEnabled(true);
    SetInfoMenu(kTabResult, kNone, false);
    tmrMessage.start();
    mCheckRunning = false;
}

void frmMain::tmrEngineResponse_Timer() {
    ++mEngineTicks;
}

void frmMain::txtInput_Change() {
    const int style = Trim(txtInput->text()).isEmpty() ? kStyleDisable : kStyleEnable;
    SetMenuButtons(kButtonCheck, style);
    SetMenuButtons(kButtonFeedback, style);
}

void frmMain::txtInput_KeyDown(int& KeyCode) {
    KeyCode = KeyDownInput(KeyCode);
    if (KeyCode != kKeyEnter) {
        return;
    }
    KeyCode = 0;
    if (!Trim(txtInput->text()).isEmpty()) {
        PassStringToEngine();
    } else {
        txtInput->setFocus();
    }
}

void frmMain::txtInput_KeyPress(int& KeyAscii) {
    if (KeyAscii == kKeyEnter ||
        (KeyAscii > 0 && KeyAscii <= 0xFFFF && kSwallowedCharacters.contains(QChar(KeyAscii)))) {
        KeyAscii = 0;
    }
}

void frmMain::txtInput_MouseUp(Qt::MouseButton Button, const QPoint& globalPos) {
    if (Button == Qt::RightButton) {
        FormInstance<frmMenu>::get()->mnuTextPopup->popup(globalPos);
    }
}
