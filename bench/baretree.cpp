#include "bench/baretree.h"

#include <QList>
#include <QPair>
#include <QTreeWidget>

#include "bench/sqlitequery.h"

int fillBareTree(const QString& courseDatabase, QTreeWidget* tree) {
    SqliteDatabase database(courseDatabase);
    SqliteQuery roots(database.handle(),
                      "select UNITID, TEXT from bswunit where UNITID like '%0000'");
    SqliteQuery children(database.handle(),
                         "select UNITID, TEXT from bswunit where PARENT = ? order by UNITID");
    int count = 0;
    while (roots.next()) {
        auto* root = new QTreeWidgetItem(tree, {roots.text(1)});
        ++count;
        QList<QPair<QString, QTreeWidgetItem*>> units;
        children.bind({roots.text(0)});
        while (children.next()) {
            units.append({children.text(0), new QTreeWidgetItem(root, {children.text(1)})});
            ++count;
        }
        for (const auto& [unitId, unit] : units) {
            children.bind({unitId});
            while (children.next()) {
                new QTreeWidgetItem(unit, {children.text(1)});
                ++count;
            }
        }
        root->setExpanded(true);
    }
    return count;
}
