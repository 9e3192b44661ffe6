#pragma once
#include <QHash>
#include <QTreeWidget>

namespace ui {

/// One node of a Tree, as the handlers see it. A null node (from a failed look-up) is false.
class TreeNode {
public:
    TreeNode() = default;
    explicit TreeNode(QTreeWidgetItem* item) : item_(item) {}
    explicit operator bool() const { return item_ != nullptr; }

    QString key() const;
    QString text() const;
    QString tag() const;
    void setTag(const QString& tag);
    void setExpanded(bool expanded);
    /// Keeps the node's children sorted by their text, as a grid sorts a column of titles.
    void setSorted(bool sorted);

private:
    friend class Tree;
    QTreeWidgetItem* item_ = nullptr;
};

/// A tree of nodes with unique keys: roots, and children under a node named by its key.
class Tree : public QTreeWidget {
    Q_OBJECT
public:
    Tree(const QString& name, QWidget* parent);

    /// Removes all nodes.
    void clearNodes();
    /// Adds a node under the node with key relative (a root when relative is empty). Raises
    /// 35601 when relative names no node and 35602 when key is taken.
    TreeNode add(const QString& relative, const QString& key, const QString& text);
    /// The selected node; a null node when none is.
    TreeNode selectedNode() const;

signals:
    void dblClick();
    /// A key: its code (ui::keys), the shift state, and whether it repeats a held key. The tree
    /// still moves its selection with the arrows.
    void keyDown(short keyCode, short shift, bool repeat);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void insertUnder(QTreeWidgetItem* parent, int at, QTreeWidgetItem* item);
    QHash<QString, QTreeWidgetItem*> keys_;
};

} // namespace ui
