#include "standin/accountscripts.h"

#include "standin/scripthelpers.h"
#include "standin/scripttable.h"

using namespace scripthelpers;

namespace {

ScriptReply online(const ScriptCall&) {
    return ScriptReply::text("ONLINE#" + dateText());
}

// Account number, name and the courses it may open (separated by "|").
QString accountFields(Store& store, const QString& pno) {
    const Store::Row row =
        store.rows("select pno, name, courses from accounts where pno = ?", {pno}).value(0);
    return row.value(0) + "#" + row.value(1) + "#" + row.value(2);
}

ScriptReply login(const ScriptCall& call) {
    Store& store = call.env.store;
    const QString pno = call.fields.value("login");
    const QString password = call.fields.value("password");
    if (!accountExists(store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    const QString stored = store.value("select password from accounts where pno = ?", {pno});
    if (stored.isEmpty()) {
        if (password.isEmpty()) {
            return ScriptReply::text("PASSWORD_NOT_SET");
        }
        store.exec("update accounts set password = ? where pno = ?", {password, pno});
        return ScriptReply::text("SET_" + accountFields(store, pno));
    }
    if (stored != password) {
        return ScriptReply::text("ERR_WRONG_PASSWORD");
    }
    return ScriptReply::text("OK_" + accountFields(store, pno));
}

ScriptReply serverOfAccount(const ScriptCall& call) {
    Store& store = call.env.store;
    const QString pno = call.fields.value("regId");
    if (!accountExists(store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    // An account without a server of its own is kept right here.
    QString server = store.value("select server from accounts where pno = ?", {pno});
    if (server.isEmpty()) {
        server = QStringLiteral("127.0.0.1:%1").arg(call.env.port);
    }
    return ScriptReply::text("OK#" + server + "#");
}

ScriptReply importLogin(const ScriptCall& call) {
    Store& store = call.env.store;
    const QString pno = call.fields.value("pno");
    const QString user = call.fields.value("user");
    const QString password = call.fields.value("password");
    if (!accountExists(store, pno)) {
        return ScriptReply::text("ERR_NOTFOUND");
    }
    // Newer accounts sign in with their e-mail address; older ones keep the
    // login name they were first given.
    const QString storedUser = store.value("select user from accounts where pno = ?", {pno});
    if (storedUser.contains('@') && !user.contains('@')) {
        return ScriptReply::text("ERR_ACCOUNT_MUST_EMAIL");
    }
    if (storedUser.compare(user, Qt::CaseInsensitive) != 0 ||
        !passwordMatches(store, pno, password)) {
        return ScriptReply::text("ERR_WRONG_USERPASS");
    }
    if (!allowedCourses(store, pno).contains(call.fields.value("courseId"), Qt::CaseInsensitive)) {
        return ScriptReply::text("ERR_WRONG_COURSE");
    }
    return ScriptReply::text("OK_" + pno);
}

}  // namespace

void registerAccountScripts(ScriptTable& table) {
    table.add("p_getconn.asp", FieldForm::Raw, online);
    table.add("p_getlogin.asp", FieldForm::Raw, login);
    table.add("p_server_get.asp", FieldForm::Raw, serverOfAccount);
    table.add("p_lxv_import_login.asp", FieldForm::Raw, importLogin);
}
