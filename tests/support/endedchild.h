#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <QDir>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <string>

// What a death test's child wrote on stderr, kept for a test that reads what
// the child left behind once it has ended. The folders that the child names
// there go with this object: an ended child removes nothing of its own.
//   const EndedChild child;
//   EXPECT_EXIT({ EndedChild::nameFolder(basePath()); ... }, ExitedWithCode(0),
//               child.matcher());
class EndedChild {
public:
    ~EndedChild() {
        for (const QString& folder : folders()) {
            QDir(folder).removeRecursively();
        }
    }

    static void nameFolder(const QString& folder) {
        std::fprintf(stderr, "child folder %s\n", qUtf8Printable(folder));
        std::fflush(stderr);
    }

    // "" until a child ended as expected.
    QString output() const { return *m_output; }
    QStringList folders() const {
        static const QRegularExpression named("^child folder (.+)$",
                                              QRegularExpression::MultilineOption);
        QStringList folders;
        for (auto match = named.globalMatch(output()); match.hasNext();) {
            folders << match.next().captured(1);
        }
        return folders;
    }

    // The matcher of EXPECT_EXIT: any output, which it keeps.
    struct Keeper {
        using is_gtest_matcher = void;
        std::shared_ptr<QString> output;
        bool MatchAndExplain(const std::string& text, std::ostream*) const {
            *output = QString::fromStdString(text);
            return true;
        }
        void DescribeTo(std::ostream* os) const { *os << "any output"; }
        void DescribeNegationTo(std::ostream* os) const { *os << "no output at all"; }
    };
    Keeper matcher() const { return Keeper{m_output}; }

private:
    std::shared_ptr<QString> m_output = std::make_shared<QString>();
};
