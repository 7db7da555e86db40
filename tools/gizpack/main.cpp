#include <cstdio>
#include <QCoreApplication>
#include <QStringList>

#include "platform/package.h"
#include "tools/gizpack/big5text.h"
#include "tools/gizpack/coursebuilder.h"
#include "tools/gizpack/errlistbuilder.h"

// Builds the packages and data files of the program folder from the
// readable sources in data/.
namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  gizpack pack <folder> <out.giz>\n"
    "      zip of the folder's contents\n"
    "  gizpack errlist <error list> <err4list.sql> <out.mdb>\n"
    "      the checking engine's error list database\n"
    "  gizpack course <course folder> <schema folder> <out.giz>\n"
    "      a course package\n"
    "  gizpack big5text <utf-8 text> <out>\n"
    "      a settings file: Big5 with CR LF line ends\n";

bool run(const QStringList& arguments, QString* error) {
    const QString command = arguments.value(0);
    if (command == QLatin1String("pack") && arguments.size() == 3) {
        return package::pack(arguments[1], arguments[2], error);
    }
    if (command == QLatin1String("errlist") && arguments.size() == 4) {
        return buildErrorList(arguments[1], arguments[2], arguments[3], error);
    }
    if (command == QLatin1String("course") && arguments.size() == 4) {
        return buildCoursePackage(arguments[1], arguments[2], arguments[3], error);
    }
    if (command == QLatin1String("big5text") && arguments.size() == 3) {
        return convertToBig5Lines(arguments[1], arguments[2], error);
    }
    *error = QString::fromLatin1(kUsage);
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QString error;
    if (!run(application.arguments().mid(1), &error)) {
        std::fprintf(stderr, "gizpack: %s\n", qUtf8Printable(error));
        return 1;
    }
    return 0;
}
