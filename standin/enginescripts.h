#pragma once

class ScriptTable;

// The web checking engine: its lookup, its online test, the grading of a
// sentence and the result pages.
void registerEngineScripts(ScriptTable& table);
