#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QString>
#include <QTreeWidget>

#include "platform/treenode.h"

// The tree-view control: nodes addressed by key and by their 1-based place
// in the order in which they were added (a place that never changes while
// the tree is not cleared), each showing a picture of the tree's image list.
// Nodes leave the tree only all at once, through clear(); code that waited
// while holding one finds it still there, though no longer in the tree.
//
// NodeClick is raised when the learner chooses a node: a mouse click on it
// (also when it was selected already; not a click on its expand sign) or a
// key that moves the selection to it. Code that selects a node with
// setSelected() raises nothing; clickNode() selects and raises it, as a
// learner's click does.
class TreeView : public QTreeWidget {
    Q_OBJECT

public:
    explicit TreeView(QWidget* parent = nullptr);

    // The pictures by image index; nodes show them at once.
    void setImageList(const QMap<int, QIcon>& images);
    QIcon imageIcon(int image) const;

    // Adds a node as the last child of the node keyed parentKey, or at the
    // top level when parentKey is empty. Null, and nothing added, when the
    // key is taken already or no node has parentKey. A node with an empty key
    // is not found by key.
    TreeNode* addNode(const QString& parentKey, const QString& key, const QString& text,
                      int image = TreeNode::kNoImage, int selectedImage = TreeNode::kNoImage);

    int count() const { return static_cast<int>(m_nodes.size()); }
    // Null when index is not from 1 to count().
    TreeNode* nodeByIndex(int index) const;
    // Null when no node has the key (compared exactly).
    TreeNode* nodeByKey(const QString& key) const;
    // Whether the node is one of the tree's now, not one that clear() took
    // out.
    bool contains(const TreeNode* node) const;
    // Removes every node. A handler further up may hold one across the wait
    // that this runs in, so the nodes are deleted only once no wait runs.
    void clear();

    TreeNode* selectedItem() const;
    // Selects the node and brings it into view, without NodeClick.
    void setSelected(TreeNode* node);
    // Selects the node and raises NodeClick.
    void clickNode(TreeNode* node);
    // Expands the node's ancestors and scrolls the node into view.
    void ensureVisible(TreeNode* node);

Q_SIGNALS:
    void NodeClick(TreeNode* node);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onItemClicked(QTreeWidgetItem* item);
    void onSelectionChanged();

    QMap<int, QIcon> m_images;
    QList<TreeNode*> m_nodes;
    QHash<QString, TreeNode*> m_nodesByKey;
    // The node last shown with its selected image.
    TreeNode* m_shownSelected = nullptr;
};
