#pragma once

class ScriptTable;

// The pages the program shows from the service: study progress, own and
// wrong sentences, and the database engine's download page.
void registerPageScripts(ScriptTable& table);
