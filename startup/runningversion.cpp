#include "startup/runningversion.h"

#include <QStringList>

namespace {

constexpr int kFileVersionParts = 4;
constexpr int kRevisionPart = 3;

}  // namespace

QString VersionTextOf(const QString& pFileVersion) {
    QStringList parts = pFileVersion.split('.');
    while (parts.size() < kFileVersionParts) {
        parts << "0";
    }
    const auto number = [&](int index) { return QString::number(parts.at(index).toUInt()); };
    return number(0) + "." + number(1) + "." + number(kRevisionPart);
}

QString RunningVersionText() {
    return VersionTextOf(QStringLiteral(LEXIVO_VERSION));
}
