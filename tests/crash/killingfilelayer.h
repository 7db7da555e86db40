#pragma once

#include <QByteArray>

// A file layer under SQLite that passes everything on to the usual one and
// counts the writes, syncs, truncations and deletions of files in one
// folder; at the chosen one it kills the process with SIGKILL, before that
// operation reaches the disk. Stepping the chosen number over a change
// kills it at every point where the disk sees something of it.
namespace killingfilelayer {

// Becomes the layer of every database opened from now on. killAt 0 counts
// without killing.
void install(const QByteArray& folder, long killAt);
// Counting starts here, so that what comes before is never cut.
void arm();
long operationCount();

}  // namespace killingfilelayer
