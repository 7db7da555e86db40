#include "standin/coursescripts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "standin/scripthelpers.h"
#include "standin/scripttable.h"

using namespace scripthelpers;

namespace {

Store::Row courseRow(Store& store, const QString& courseId) {
    return store.rows("select id, name, version, package from courses where id = ?", {courseId})
        .value(0);
}

ScriptReply courseInfo(const ScriptCall& call) {
    const Store::Row course = courseRow(call.env.store, call.fields.value("courseId"));
    if (course.isEmpty()) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    return ScriptReply::text("OK_" + course.value(0) + "#" + course.value(1) + "#" +
                             course.value(2));
}

ScriptReply courseVersion(const ScriptCall& call) {
    const Store::Row course = courseRow(call.env.store, call.fields.value("courseId"));
    return ScriptReply::text(course.isEmpty() ? QStringLiteral("ERR_NOTFOUND") : course.value(2));
}

// The courses offered to an account: its own, or every course to a caller
// the service does not know.
QList<Store::Row> offeredCourses(Store& store, const QString& pno) {
    const QList<Store::Row> all = store.rows("select id, name, version from courses order by id");
    if (!accountExists(store, pno)) {
        return all;
    }
    const QStringList allowed = allowedCourses(store, pno);
    QList<Store::Row> offered;
    for (const Store::Row& course : all) {
        if (allowed.contains(course.value(0), Qt::CaseInsensitive)) {
            offered << course;
        }
    }
    return offered;
}

ScriptReply downloadPage(const ScriptCall& call) {
    const QStringList installed = call.fields.value("c").split(',', Qt::SkipEmptyParts);
    QString rows;
    for (const Store::Row& course : offeredCourses(call.env.store, call.fields.value("regId"))) {
        const bool isInstalled = installed.contains(course.value(0), Qt::CaseInsensitive);
        const QString link = (isInstalled ? "cmd:re:" : "cmd:") + course.value(0);
        rows += "<tr><td>" + htmlEscape(course.value(1)) + "</td><td>" +
                htmlEscape(course.value(2)) + "</td><td><a href='" + htmlEscape(link) + "'>" +
                (isInstalled ? "重新安裝" : "下載安裝") + "</a></td></tr>\r\n";
    }
    const QString body =
        "<h3>課程下載</h3>\r\n<table border='1' id='courses'>\r\n"
        "<tr><th>課程</th><th>版本</th><th></th></tr>\r\n" +
        rows + "</table>";
    return ScriptReply::page(htmlPage("課程下載", body));
}

QString packagePath(const StandinEnv& env, const QString& package) {
    if (package.isEmpty()) {
        return QString();
    }
    return QDir::isAbsolutePath(package) ? package : QDir(env.programDir).filePath(package);
}

ScriptReply coursePackage(const ScriptCall& call) {
    const QString fileName = call.route.mid(call.route.lastIndexOf('/') + 1);
    if (!fileName.endsWith(".giz", Qt::CaseInsensitive)) {
        return ScriptReply::notFound();
    }
    const Store::Row course = courseRow(call.env.store, fileName.chopped(4));
    QFile package(packagePath(call.env, course.value(3)));
    if (course.isEmpty() || !package.open(QIODevice::ReadOnly)) {
        return ScriptReply::notFound();
    }
    return ScriptReply::file(package.readAll(), "application/octet-stream");
}

}  // namespace

void registerCourseScripts(ScriptTable& table) {
    table.add("p_getcourse.asp", FieldForm::Raw, courseInfo);
    table.add("p_lxv_getcoursever.asp", FieldForm::Raw, courseVersion);
    table.add("lxv_download/", FieldForm::NoKey, downloadPage);
    table.add("lxv_download/default.asp", FieldForm::NoKey, downloadPage);
    table.addFolder("lxv_download/", FieldForm::NoKey, coursePackage);
}
