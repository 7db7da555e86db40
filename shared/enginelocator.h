#pragma once

#include <chrono>
#include <optional>
#include <QString>

// The web checking engine's address is not configured: a lookup server names
// it at run time, and the program tests that the engine answers before each
// sentence check.

// The shortest time between two tries at the engine: a server in trouble
// that fails every request at once sees a few requests a second from each
// learner, not a tight loop of them.
inline constexpr std::chrono::milliseconds kPauseBetweenEngineTries{200};

// The engine's base address named by the lookup server at pLookupURL, "" when
// it names none; no value when the lookup post itself failed.
std::optional<QString> GetWebEngineServer(const QString& pLookupURL);

// Looks the engine up (into gWebEngineURL) until one answers, asking the
// learner whether to go on after every ten failed tries; a learner who gives
// up ends the program there and then. False when the lookup server cannot be
// reached, or when the program was ending already.
bool ConnectWebEngine();

// True when the engine at gWebEngineURL answers its online test; with
// pReconnect it is looked up first. Never fails otherwise.
bool CheckWebEngineConn(bool pReconnect);
