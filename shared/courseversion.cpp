#include <QRegularExpression>

#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/servicescripts.h"

namespace {

// A reply that cannot be a data version (garbage, a page of markup, several
// lines) is no answer: it must neither refuse the course nor become the
// version that every later answer is compared with. The pattern spans the
// whole reply: a "$" would let a closing line break through.
QString versionOrNothing(const QString& pReply) {
    static const QRegularExpression versionText(
        QRegularExpression::anchoredPattern(QStringLiteral("[^\\x00-\\x1F\\x7F<>]+")));
    return versionText.match(pReply).hasMatch() ? pReply : QString();
}

}  // namespace

bool CheckCourseVersion(const QString& pCourseId) {
    QString serverVersion;
    if (FolderExists(ProductFolder())) {
        serverVersion = versionOrNothing(GetCourseVersion(pCourseId));
    }
    return CheckCourseVersionWith(pCourseId, serverVersion);
}
