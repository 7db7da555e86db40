#pragma once

#include <QString>

// One procedure per service script that several places need. Each returns
// the reply text unchanged; "ERR_CONNECT_FAILED" when the service is not
// online (where tested first) or the post fails.

// Shows the news page named by an "OK_" reply unless the learner turned it
// off; "" for any other reply or a failed post.
QString GetPublisherNews();
// pType is "error", "sentence" or "progress".
QString ProcResetServer(const QString& pType, const QString& pPno, const QString& pCourseId);
// Asks the LXM account server (gDefaultServer) which server keeps an account.
QString GetServerByRegId(const QString& pRegId);
// Points gServerURL and gUpdatePath at pServer first, whatever the outcome.
QString GetLogin(const QString& pLogin, const QString& pPassword, const QString& pServer);
QString GetCourseInfo(const QString& pCourseId);
QString GetCourseVersion(const QString& pCourseId);
// Every "-" and blank of pPno is dropped before it is sent.
QString ImportLogin(const QString& pCourseId, const QString& pPno, const QString& pUser,
                    const QString& pPassword);
// pType is "lxv" or "lxvbig".
QString GetServerVersion(const QString& pType);
// pAction is "GET" (with an empty memo) or "PUT" (days@start@end).
QString SetMemoServer(const QString& pAction, const QString& pMemo, const QString& pPno,
                      const QString& pCourseId);
