#include "standin/grader.h"

#include <algorithm>
#include <QSet>
#include <vector>

namespace {

struct Word {
    qsizetype start = 0;  // the letters, without punctuation around them
    qsizetype end = 0;
    QString lower;
};

struct Fault {
    int firstWord = 0;
    int lastWord = 0;
    int rule = 0;
};

bool isWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == '\'' || c == QChar(0x2019);
}

std::vector<Word> splitWords(const QString& sentence) {
    std::vector<Word> words;
    qsizetype i = 0;
    while (i < sentence.size()) {
        while (i < sentence.size() && sentence.at(i).isSpace()) {
            ++i;
        }
        const qsizetype spanEnd = [&] {
            qsizetype j = i;
            while (j < sentence.size() && !sentence.at(j).isSpace()) {
                ++j;
            }
            return j;
        }();
        qsizetype start = i;
        qsizetype end = spanEnd;
        while (start < end && !sentence.at(start).isLetterOrNumber()) {
            ++start;
        }
        while (end > start && !isWordCharacter(sentence.at(end - 1))) {
            --end;
        }
        if (end > start) {
            words.push_back({start, end, sentence.mid(start, end - start).toLower()});
        }
        i = spanEnd;
    }
    return words;
}

bool startsWithAny(const QString& word, std::initializer_list<const char*> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const char* prefix) { return word.startsWith(QLatin1String(prefix)); });
}

bool hasVowelSound(const QString& word) {
    if (startsWithAny(word, {"hour", "honest", "honor", "honour", "heir"})) {
        return true;
    }
    if (startsWithAny(word, {"uni", "use", "usu", "uti", "ure", "eu", "one", "once", "ewe"})) {
        return false;
    }
    return !word.isEmpty() && QStringLiteral("aeiou").contains(word.at(0));
}

const QSet<QString>& bareVerbs() {
    static const QSet<QString> verbs = {
        "am",    "are",   "buy",   "close", "come",  "cook",  "dance",  "do",     "don't",
        "don’t", "drink", "drive", "eat",   "enjoy", "feel",  "finish", "get",    "go",
        "have",  "help",  "hope",  "know",  "learn", "leave", "like",   "listen", "live",
        "look",  "love",  "make",  "need",  "open",  "play",  "rain",   "read",   "ride",
        "run",   "say",   "see",   "sing",  "sleep", "snow",  "speak",  "start",  "stay",
        "study", "swim",  "take",  "teach", "think", "try",   "use",    "visit",  "wake",
        "walk",  "want",  "wash",  "watch", "wear",  "work",  "write"};
    return verbs;
}

// After one of these the subject is followed by a bare verb by right:
// "Does he like it?", "I made it work."
const QSet<QString>& auxiliaries() {
    static const QSet<QString> words = {"does", "did",   "doesn't", "didn't", "doesn’t", "didn’t",
                                        "can",  "could", "will",    "would",  "shall",   "should",
                                        "may",  "might", "must",    "let",    "let's",   "make",
                                        "made", "makes", "help",    "helps",  "helped",  "to"};
    return words;
}

class RuleRunner {
public:
    RuleRunner(const QString& sentence, const std::vector<Word>& words)
        : m_sentence(sentence), m_words(words) {}

    std::vector<Fault> run(const QStringList& activeRules) const {
        std::vector<Fault> faults;
        for (int rule = 0; rule < activeRules.size(); ++rule) {
            check(activeRules.at(rule), rule, faults);
        }
        std::stable_sort(faults.begin(), faults.end(),
                         [](const Fault& a, const Fault& b) { return a.firstWord < b.firstWord; });
        return faults;
    }

private:
    void check(const QString& name, int rule, std::vector<Fault>& faults) const {
        const int count = int(m_words.size());
        if (name == "capital") {
            if (count > 0 && m_sentence.at(m_words[0].start).isLower()) {
                faults.push_back({0, 0, rule});
            }
        } else if (name == "punctuation") {
            if (count > 0 && !endsWithPunctuation()) {
                faults.push_back({count - 1, count - 1, rule});
            }
        } else {
            for (int i = 0; i + 1 < count; ++i) {
                if (pairIsFaulty(name, i)) {
                    const int first = name == "agreement" ? i + 1 : i;
                    faults.push_back({first, i + 1, rule});
                }
            }
        }
    }

    bool pairIsFaulty(const QString& name, int i) const {
        const QString& word = m_words[i].lower;
        const QString& next = m_words[i + 1].lower;
        if (name == "article") {
            return word == "a" && hasVowelSound(next);
        }
        if (name == "doubled") {
            return word == next;
        }
        if (name == "agreement") {
            return (word == "he" || word == "she" || word == "it") && bareVerbs().contains(next) &&
                   !auxiliaryBefore(i);
        }
        return false;
    }

    bool auxiliaryBefore(int wordIndex) const {
        for (int i = 0; i < wordIndex; ++i) {
            if (auxiliaries().contains(m_words[i].lower)) {
                return true;
            }
        }
        return false;
    }

    bool endsWithPunctuation() const {
        qsizetype end = m_sentence.size();
        while (end > 0 && m_sentence.at(end - 1).isSpace()) {
            --end;
        }
        return end > 0 && QStringLiteral(".!?").contains(m_sentence.at(end - 1));
    }

    const QString& m_sentence;
    const std::vector<Word>& m_words;
};

// Faults that share a word become one marked stretch.
std::vector<std::pair<int, int>> markedStretches(const std::vector<Fault>& faults) {
    std::vector<std::pair<int, int>> stretches;
    for (const Fault& fault : faults) {
        if (!stretches.empty() && fault.firstWord <= stretches.back().second) {
            stretches.back().second = std::max(stretches.back().second, fault.lastWord);
        } else {
            stretches.push_back({fault.firstWord, fault.lastWord});
        }
    }
    return stretches;
}

QString markSentence(const QString& sentence, const std::vector<Word>& words,
                     const std::vector<std::pair<int, int>>& stretches) {
    QString marked = sentence;
    // From the back, so that earlier positions stay valid.
    for (auto it = stretches.rbegin(); it != stretches.rend(); ++it) {
        marked.insert(words[it->second].end, '*');
        marked.insert(words[it->first].start, '*');
    }
    return marked;
}

}  // namespace

const QStringList& Grader::ruleNames() {
    static const QStringList names = {"capital", "punctuation", "article", "doubled", "agreement"};
    return names;
}

Grader::Result Grader::grade(const QString& sentence) const {
    QStringList activeRules;
    for (const QString& name : ruleNames()) {
        if (!m_codes.value(name).isEmpty()) {
            activeRules << name;
        }
    }
    const std::vector<Word> words = splitWords(sentence);
    const std::vector<Fault> faults = RuleRunner(sentence, words).run(activeRules);

    Result result;
    for (const Fault& fault : faults) {
        const QString code = m_codes.value(activeRules.at(fault.rule));
        if (!result.codes.contains(code)) {
            result.codes << code;
        }
    }
    result.status = faults.empty() ? "0" : (faults.size() == 1 ? "1" : "2");
    result.marked = markSentence(sentence, words, markedStretches(faults));
    return result;
}
