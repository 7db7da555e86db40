#pragma once

#include <QString>

// The study plan that the service keeps for a course: days, start and end,
// each trimmed.
struct ServicePlan {
    QString days;
    QString start;
    QString end;
};

// Only "OK#" followed by a whole number and two dates, joined by "@", is a
// plan; anything else (an "ERR_" code, a cut-off or garbled reply) must not
// overwrite the learner's plan. pPlan is filled as far as the reply goes.
bool readServicePlan(const QString& pReply, ServicePlan* pPlan);
