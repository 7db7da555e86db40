#pragma once

#include <QString>

// The study plan that the service keeps for a course: days, start and end,
// each trimmed.
struct ServicePlan {
    QString days;
    QString start;
    QString end;
};

// The service holds no plan: its days, once every "OK#" is gone and before
// the first "@", are exactly "0" ("0", "OK#0", "OK#0@2011/5/1@2011/6/29").
bool isNoServicePlan(const QString& pReply);
// Only "OK#" followed by a whole number and two dates, joined by "@", is a
// plan; anything else (an "ERR_" code, a cut-off or garbled reply) must not
// overwrite the learner's plan. pPlan is filled as far as the reply goes.
bool readServicePlan(const QString& pReply, ServicePlan* pPlan);
