#include "platform/treenode.h"

#include "platform/treeview.h"

TreeNode::TreeNode(const QString& key, const QString& text, int image, int selectedImage)
    : m_key(key), m_image(image), m_selectedImage(selectedImage) {
    setText(text);
}

void TreeNode::setImage(int image) {
    m_image = image;
    showImage();
}

void TreeNode::setSelectedImage(int image) {
    m_selectedImage = image;
    showImage();
}

int TreeNode::shownImage() const {
    return isSelected() && m_selectedImage != kNoImage ? m_selectedImage : m_image;
}

TreeNode* TreeNode::parentNode() const {
    return static_cast<TreeNode*>(parent());
}

QList<TreeNode*> TreeNode::childNodes() const {
    QList<TreeNode*> children;
    for (int row = 0; row < childCount(); ++row) {
        children.append(static_cast<TreeNode*>(child(row)));
    }
    return children;
}

TreeView* TreeNode::treeView() const {
    return static_cast<TreeView*>(treeWidget());
}

void TreeNode::showImage() {
    if (TreeView* view = treeView()) {
        setIcon(0, view->imageIcon(shownImage()));
    }
}
