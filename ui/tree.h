#pragma once
#include <QTreeView>

#include "ui/treemodel.h"

namespace ui {

class Tree;

/// One node of a Tree, as the handlers see it. A null node (from a failed look-up) is false.
class TreeNode {
public:
    TreeNode() = default;
    explicit operator bool() const { return tree_ != nullptr; }

    QString key() const;
    QString text() const;
    QString tag() const;
    void setTag(const QString& tag);
    void setExpanded(bool expanded);
    /// Keeps the node's children sorted by their text, as a grid sorts a column of titles.
    void setSorted(bool sorted);

private:
    friend class Tree;
    TreeNode(Tree* tree, int node) : tree_(tree), node_(node) {}
    Tree* tree_ = nullptr;
    int node_ = TreeModel::kNone;
};

/// A tree of nodes with unique keys: roots, and children under a node named by its key.
class Tree : public QTreeView {
    Q_OBJECT
public:
    Tree(const QString& name, QWidget* parent);

    /// Removes all nodes.
    void clearNodes();
    /// Adds a node under the node with key relative (a root when relative is empty). Raises
    /// 35601 when relative names no node and 35602 when key is taken.
    TreeNode add(const QString& relative, const QString& key, const QString& text,
                 const TreeModel::KeyOrder& keyOrder = {});
    /// The node with this key; a null node when none has it.
    TreeNode node(const QString& key);
    /// Removes the node with this key, which has no children; nothing when none has it.
    void remove(const QString& key);
    /// The roots, in their order.
    QList<TreeNode> roots();
    /// Nodes removed since the tree was last emptied.
    int removedNodes() const { return nodes_.removed(); }

    /// What the nodes were built from, as their loader notes it, so that it can change only what
    /// changed since: a name and a version.
    QString source() const { return source_; }
    quint64 sourceVersion() const { return sourceVersion_; }
    void setSource(const QString& source, quint64 version)
    {
        source_ = source;
        sourceVersion_ = version;
    }
    /// The selected node; a null node when none is.
    TreeNode selectedNode() const;
    /// The node shown at a model index; a null node for an invalid one.
    TreeNode nodeAt(const QModelIndex& index) const;

    /// Empties the tree and takes the nodes added until the Refill ends without a word to the
    /// view, which then shows them all in one step: a tree of twenty thousand nodes would
    /// otherwise be laid out node by node. Kept, the nodes stay, to be changed the same way; the
    /// view shows the result as it would a tree filled anew.
    class Refill {
    public:
        enum Nodes { Emptied, Kept };
        explicit Refill(Tree& tree, Nodes nodes = Emptied);
        ~Refill();
        Refill(const Refill&) = delete;
        Refill& operator=(const Refill&) = delete;

    private:
        Tree& tree_;
    };

signals:
    void dblClick();
    /// A key: its code (ui::keys), the shift state, and whether it repeats a held key. The tree
    /// still moves its selection with the arrows.
    void keyDown(short keyCode, short shift, bool repeat);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TreeNode;
    void setNodeExpanded(int node, bool expanded);

    TreeModel& nodes_; // a child of the view, gone with it
    // Nodes opened while a refill gathers, opened once the view has them.
    QList<int> toOpen_;
    bool refilling_ = false;
    QString source_;
    quint64 sourceVersion_ = 0;
};

} // namespace ui
