#pragma once

class ScriptTable;

// The course check, the course data version, the download page and the
// course packages.
void registerCourseScripts(ScriptTable& table);
