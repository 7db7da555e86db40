#pragma once

class ScriptTable;

// Sentence uploads, records sync, progress and error counts, and the reset
// of a learner's records.
void registerRecordScripts(ScriptTable& table);
