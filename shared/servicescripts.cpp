#include "shared/servicescripts.h"

#include "shared/globals.h"
#include "shared/publishernews.h"
#include "shared/request.h"
#include "shared/settingsfiles.h"

namespace {

QString postOrConnectFailed(const QString& address, const RequestFields& fields) {
    return PostRequest(address, RequestForm(fields)).value_or(kConnectFailed);
}

QString postWhenOnline(const QString& script, const RequestFields& fields) {
    if (!IsServerOnline()) {
        return kConnectFailed;
    }
    return postOrConnectFailed(gServerURL + script, fields);
}

}  // namespace

QString GetPublisherNews() {
    const std::optional<QString> reply =
        PostRequest(gServerURL + "p_publisher_news.asp", RequestForm({{"softcode", gSoftCode}}));
    if (!reply || reply->left(3) != "OK_") {
        return QString();
    }
    const QString newsUrl = QString(*reply).remove("OK_");
    if (PublisherNewsAddress(newsUrl) !=
        PublisherNewsAddress(SetFile_IO(gSetupSetFile, "R", "publisher"))) {
        ShowPublisherNewsWindow(newsUrl);
    }
    return *reply;
}

QString ProcResetServer(const QString& pType, const QString& pPno, const QString& pCourseId) {
    return postWhenOnline("p_lxv_proc_reset.asp",
                          {{"tp", pType}, {"courseId", pCourseId}, {"pno", pPno}});
}

// The account server is not gServerURL, so the online test would ask the
// wrong server: a failed post is this script's offline case.
QString GetServerByRegId(const QString& pRegId) {
    return postOrConnectFailed(gDefaultServer + "p_server_get.asp", {{"regId", pRegId}});
}

QString GetLogin(const QString& pLogin, const QString& pPassword, const QString& pServer) {
    gServerURL = "http://" + pServer + "/";
    gUpdatePath = pServer + "/update";
    return postWhenOnline("p_getlogin.asp", {{"login", pLogin}, {"password", pPassword}});
}

QString GetCourseInfo(const QString& pCourseId) {
    return postWhenOnline("p_getcourse.asp", {{"courseId", pCourseId}});
}

QString GetCourseVersion(const QString& pCourseId) {
    return postWhenOnline("p_lxv_getcoursever.asp", {{"courseId", pCourseId}});
}

QString ImportLogin(const QString& pCourseId, const QString& pPno, const QString& pUser,
                    const QString& pPassword) {
    const QString pno = QString(pPno).remove('-').remove(' ');
    return postWhenOnline(
        "p_lxv_import_login.asp",
        {{"courseId", pCourseId}, {"pno", pno}, {"user", pUser}, {"password", pPassword}});
}

QString GetServerVersion(const QString& pType) {
    return postWhenOnline("p_getversion.asp", {{"type", pType}});
}

QString SetMemoServer(const QString& pAction, const QString& pMemo, const QString& pPno,
                      const QString& pCourseId) {
    return postWhenOnline("p_all_setmemo.asp", {{"softcode", gSoftCode},
                                                {"courseId", pCourseId},
                                                {"pno", pPno},
                                                {"act", pAction},
                                                {"setmemo", pMemo}});
}
