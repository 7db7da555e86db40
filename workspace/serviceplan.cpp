#include "workspace/serviceplan.h"

#include <QStringList>

#include "shared/helpers.h"
#include "workspace/coursedescriptor.h"

bool isNoServicePlan(const QString& pReply) {
    return QString(pReply).remove("OK#").section('@', 0, 0) == "0";
}

bool readServicePlan(const QString& pReply, ServicePlan* pPlan) {
    if (!pReply.startsWith("OK#")) {
        return false;
    }
    const QStringList values = QString(pReply).remove("OK#").split('@');
    if (values.size() != 3) {
        return false;
    }
    int days = 0;
    *pPlan = {Trim(values.at(0)), Trim(values.at(1)), Trim(values.at(2))};
    return CourseDescriptor::readWholeNumber(pPlan->days, &days) &&
           CourseDescriptor::readDate(pPlan->start).isValid() &&
           CourseDescriptor::readDate(pPlan->end).isValid();
}
