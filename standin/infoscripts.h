#pragma once

class ScriptTable;

// Study-plan memos, publisher news, program versions and feedback.
void registerInfoScripts(ScriptTable& table);
