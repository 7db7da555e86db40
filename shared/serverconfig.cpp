#include "shared/serverconfig.h"

#include <QProcessEnvironment>

#include "shared/globals.h"
#include "shared/settingsfiles.h"

QString serverConfigPath() {
    const QString named = QProcessEnvironment::systemEnvironment().value("LEXIVO_SERVERS");
    return named.isEmpty() ? ProgramFolder() + "/servers.set" : named;
}

ServerConfig loadServerConfig() {
    const QString path = serverConfigPath();
    const auto value = [&](const char* key) { return SetFile_IO(path, "R", key); };
    ServerConfig servers;
    servers.service = value("service");
    servers.update = value("update");
    servers.web = value("web");
    servers.account = value("account");
    servers.formerDomain = value("formerDomain");
    servers.learnWeb = value("learnWeb");
    servers.publisherHome = value("publisherHome");
    servers.pno = value("pno");
    servers.password = value("password");
    return servers;
}
