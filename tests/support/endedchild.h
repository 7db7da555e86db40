#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <QDir>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <string>
#include <utility>

// What a death test's child process said and left behind, for a test that
// reads it once the child has ended. The child names its folders on stderr;
// the test hands matcher() to EXPECT_EXIT, which gives it the child's output,
// and the folders go with this object (an ended child removes nothing of its
// own):
//   const EndedChild child;
//   EXPECT_EXIT({ EndedChild::nameFolder(basePath()); ... }, ExitedWithCode(0),
//               child.matcher());
//   ASSERT_FALSE(child.folder(0).isEmpty());
class EndedChild {
public:
    EndedChild() = default;
    ~EndedChild() {
        for (const QString& folder : folders()) {
            QDir(folder).removeRecursively();
        }
    }
    EndedChild(const EndedChild&) = delete;
    EndedChild& operator=(const EndedChild&) = delete;

    // Said by the child.
    static void nameFolder(const QString& folder) {
        std::fprintf(stderr, "child folder %s\n", qUtf8Printable(folder));
        std::fflush(stderr);
    }

    // The folders in the order named; "" for one the child did not name.
    QString folder(int index) const { return folders().value(index); }
    // What the child wrote on stderr; "" when it did not end as expected.
    QString output() const { return *m_output; }

    // Takes any output of a child that ended as expected.
    class Keeper {
    public:
        using is_gtest_matcher = void;
        explicit Keeper(std::shared_ptr<QString> output) : m_output(std::move(output)) {}
        bool MatchAndExplain(const std::string& output, std::ostream*) const {
            *m_output = QString::fromStdString(output);
            return true;
        }
        void DescribeTo(std::ostream* os) const { *os << "any output"; }
        void DescribeNegationTo(std::ostream* os) const { *os << "no output at all"; }

    private:
        std::shared_ptr<QString> m_output;
    };
    Keeper matcher() const { return Keeper(m_output); }

private:
    QStringList folders() const {
        static const QRegularExpression named("^child folder (.+)$",
                                              QRegularExpression::MultilineOption);
        QStringList namedFolders;
        for (auto match = named.globalMatch(*m_output); match.hasNext();) {
            namedFolders << match.next().captured(1);
        }
        return namedFolders;
    }

    std::shared_ptr<QString> m_output = std::make_shared<QString>();
};
