#include "platform/treeview.h"

#include <QKeyEvent>
#include <utility>

#include "platform/waituntil.h"

namespace {

// Nodes taken out of a tree, deleted with it.
class RemovedNodes : public QObject {
public:
    explicit RemovedNodes(QList<QTreeWidgetItem*> nodes) : m_nodes(std::move(nodes)) {}
    ~RemovedNodes() override { qDeleteAll(m_nodes); }
    RemovedNodes(const RemovedNodes&) = delete;
    RemovedNodes& operator=(const RemovedNodes&) = delete;

private:
    QList<QTreeWidgetItem*> m_nodes;
};

}  // namespace

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemClicked, this, &TreeView::onItemClicked);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &TreeView::onSelectionChanged);
}

void TreeView::setImageList(const QMap<int, QIcon>& images) {
    m_images = images;
    for (TreeNode* node : std::as_const(m_nodes)) {
        node->showImage();
    }
}

QIcon TreeView::imageIcon(int image) const {
    return m_images.value(image);
}

TreeNode* TreeView::addNode(const QString& parentKey, const QString& key, const QString& text,
                            int image, int selectedImage) {
    TreeNode* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = nodeByKey(parentKey);
        if (!parent) {
            return nullptr;
        }
    }
    if (!key.isEmpty() && m_nodesByKey.contains(key)) {
        return nullptr;
    }
    auto* node = new TreeNode(key, text, image, selectedImage);
    // A new node is not selected, so it shows its image. Set before the node
    // joins the tree, the picture is no change that the view must take in.
    node->setIcon(0, imageIcon(image));
    if (parent) {
        parent->addChild(node);
    } else {
        addTopLevelItem(node);
    }
    m_nodes.append(node);
    node->m_index = count();
    if (!key.isEmpty()) {
        m_nodesByKey.insert(key, node);
    }
    return node;
}

TreeNode* TreeView::nodeByIndex(int index) const {
    return index >= 1 && index <= count() ? m_nodes.at(index - 1) : nullptr;
}

TreeNode* TreeView::nodeByKey(const QString& key) const {
    return m_nodesByKey.value(key);
}

bool TreeView::contains(const TreeNode* node) const {
    return node && nodeByIndex(node->index()) == node;
}

void TreeView::clear() {
    m_shownSelected = nullptr;
    m_nodes.clear();
    m_nodesByKey.clear();
    QList<QTreeWidgetItem*> removed;
    while (topLevelItemCount() > 0) {
        removed.append(takeTopLevelItem(0));
    }
    waits::deleteAfterWaits(new RemovedNodes(std::move(removed)));
}

TreeNode* TreeView::selectedItem() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : static_cast<TreeNode*>(selected.first());
}

void TreeView::setSelected(TreeNode* node) {
    setCurrentItem(node);
    ensureVisible(node);
}

void TreeView::clickNode(TreeNode* node) {
    if (!node) {
        return;
    }
    setSelected(node);
    Q_EMIT NodeClick(node);
}

void TreeView::ensureVisible(TreeNode* node) {
    if (!node) {
        return;
    }
    for (QTreeWidgetItem* ancestor = node->parent(); ancestor; ancestor = ancestor->parent()) {
        ancestor->setExpanded(true);
    }
    scrollToItem(node);
}

void TreeView::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after && after != before && after->isSelected()) {
        Q_EMIT NodeClick(static_cast<TreeNode*>(after));
    }
}

void TreeView::onItemClicked(QTreeWidgetItem* item) {
    Q_EMIT NodeClick(static_cast<TreeNode*>(item));
}

void TreeView::onSelectionChanged() {
    TreeNode* previous = m_shownSelected;
    m_shownSelected = selectedItem();
    if (previous) {
        previous->showImage();
    }
    if (m_shownSelected) {
        m_shownSelected->showImage();
    }
}
