#pragma once

#include <QString>

// The servers of an installation, read from servers.set in the program
// folder (or the file that LEXIVO_SERVERS names).
struct ServerConfig {
    QString service;       // default service server, ending in "/"
    QString update;        // update host, no scheme
    QString web;           // maker's web site, ending in "/"
    QString account;       // account server of the LXM edition
    QString formerDomain;  // for lxmcert.set
    QString learnWeb;
    QString publisherHome;
    QString pno;       // LXV account number
    QString password;  // LXV password
};

QString serverConfigPath();
ServerConfig loadServerConfig();
