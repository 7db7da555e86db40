#pragma once

class ScriptTable;

// The online test, the sign-ins and the account-server lookup.
void registerAccountScripts(ScriptTable& table);
