#pragma once

#include <QList>
#include <QString>
#include <QTreeWidgetItem>

class TreeView;

// A node of a TreeView: its key, text and tag, and the images that it shows
// (indexes into the tree's image list; kNoImage for none). A node without a
// selected image shows its image while selected too.
class TreeNode : public QTreeWidgetItem {
public:
    static constexpr int kNoImage = -1;

    TreeNode(const QString& key, const QString& text, int image, int selectedImage);

    QString key() const { return m_key; }
    // The node's 1-based place in the order in which nodes were added.
    int index() const { return m_index; }

    using QTreeWidgetItem::setText;
    using QTreeWidgetItem::text;
    QString text() const { return QTreeWidgetItem::text(0); }
    void setText(const QString& text) { QTreeWidgetItem::setText(0, text); }

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    int image() const { return m_image; }
    void setImage(int image);
    int selectedImage() const { return m_selectedImage; }
    void setSelectedImage(int image);
    // The image shown now: the selected image while selected, if it has one.
    int shownImage() const;

    TreeNode* parentNode() const;
    QList<TreeNode*> childNodes() const;

private:
    friend class TreeView;

    TreeView* treeView() const;
    void showImage();

    QString m_key;
    QString m_tag;
    int m_index = 0;
    int m_image;
    int m_selectedImage;
};
