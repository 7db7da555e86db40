#pragma once

#include <optional>
#include <QString>

// What a reply of the checking engine that was taken says about the
// sentence: its status ("0" correct, "1" or "2" wrong), the error code and
// the result page, each trimmed.
struct EngineReply {
    QString status;
    QString errCode;
    QString page;
};

// Replies that do not begin "OK_" are not taken; fields that a short reply
// lacks are empty, and a status other than "0", "1" or "2" names no error
// code and no page.
std::optional<EngineReply> takeEngineReply(const QString& reply);
