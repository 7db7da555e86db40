#include "workspace/enginereply.h"

#include <QStringList>

#include "shared/helpers.h"

std::optional<EngineReply> takeEngineReply(const QString& reply) {
    if (!reply.startsWith("OK_")) {
        return std::nullopt;
    }
    const QStringList fields = reply.mid(3).split('#');
    EngineReply taken{Trim(fields.value(0)), QString(), QString()};
    if (taken.status == "0") {
        taken.errCode = "0";
        taken.page = Trim(fields.value(2));
    } else if (taken.status == "1" || taken.status == "2") {
        taken.errCode = Trim(fields.value(1));
        taken.page = Trim(fields.value(2));
    }
    return taken;
}
