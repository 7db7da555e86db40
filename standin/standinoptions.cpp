#include "standin/standinoptions.h"

bool StandinOptions::parse(const QStringList& arguments, QString* error) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--test") {
            testControls = true;
        } else if (argument == "--port" && hasValue) {
            bool ok = false;
            port = arguments.at(++i).toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                *error = "--port needs a number from 0 to 65535";
                return false;
            }
        } else if (argument == "--data" && hasValue) {
            dataDir = arguments.at(++i);
        } else if (argument == "--seed" && hasValue) {
            seedFile = arguments.at(++i);
        } else {
            *error = "unknown or incomplete argument: " + argument;
            return false;
        }
    }
    if (port < 0 || dataDir.isEmpty()) {
        *error = "--port and --data are required";
        return false;
    }
    return true;
}

QString StandinOptions::usage() {
    return "usage: lexivo-standin --port N --data DIR [--seed FILE] [--test]\n"
           "  --port 0 picks a free port; the stand-in listens on 127.0.0.1 only\n"
           "  and prints \"LISTENING <port>\" once it does.\n";
}
