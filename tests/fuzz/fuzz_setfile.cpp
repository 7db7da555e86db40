#include <QFile>
#include <QTemporaryDir>

#include "platform/big5.h"
#include "shared/helpers.h"
#include "shared/settingsfiles.h"
#include "tests/fuzz/fuzzcheck.h"

// The bytes are a settings file as it may be found on disk (cut off,
// garbled, not Big5): read the keys it names, then rewrite it. The
// registry file takes the other road of the rewrite (its header line), so
// every input is tried under both names.

namespace {

const QString kWrittenKey = QStringLiteral("fuzzKey");
const QString kWrittenValue = QStringLiteral("值 1");
// Each read goes through the whole file again: a few keys tell as much as
// all of them, at a fraction of the time.
constexpr qsizetype kKeysRead = 8;

const QTemporaryDir& folder() {
    static const QTemporaryDir dir;
    return dir;
}

void placeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the file can be made");
    fuzzCheck(file.write(bytes) == bytes.size(), "the file can be written");
}

// The part of each of the first lines before its first "=": keys the
// file names.
QStringList namedKeys(const QString& path) {
    QStringList keys;
    for (const QString& line : big5::readLines(path).mid(0, kKeysRead)) {
        keys.append(Trim(line.section('=', 0, 0)));
    }
    return keys;
}

void readNamedKeys(const QString& path) {
    for (const QString& key : namedKeys(path)) {
        const QString value = SetFile_IO(path, "R", key);
        fuzzCheck(!value.contains('\n'), "a value holds no line end");
        fuzzCheck(Trim(value) == value, "a value is trimmed");
    }
}

QByteArray rewrite(const QString& path) {
    fuzzCheck(SetFile_IO(path, "W", kWrittenKey, kWrittenValue).isEmpty(), "a write returns \"\"");
    fuzzCheck(SetFile_IO(path, "R", kWrittenKey) == kWrittenValue, "a written value reads back");
    return big5::readBytes(path);
}

void tryAs(const QString& name, const QByteArray& bytes) {
    const QString path = folder().filePath(name);
    placeFile(path, bytes);
    readNamedKeys(path);
    rewrite(path);
    // The first rewrite tidies the file (keys trimmed, blank lines gone);
    // after that a rewrite of the same value changes nothing.
    const QByteArray second = rewrite(path);
    fuzzCheck(rewrite(path) == second, "a settled file stays as it is");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzCheck(folder().isValid(), "a temporary folder");
    const QByteArray bytes = fuzzBytes(data, size);
    tryAs("setup.set", bytes);
    tryAs("registry.set", bytes);
    return 0;
}
