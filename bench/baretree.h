#pragma once

#include <QString>

class QTreeWidget;

// The floor of a course tree: the rows of the root, its units and their
// questions read with sqlite3 alone, each level as the program reads it,
// into items of a bare QTreeWidget with the stored texts. Returns the
// number of items.
int fillBareTree(const QString& courseDatabase, QTreeWidget* tree);
