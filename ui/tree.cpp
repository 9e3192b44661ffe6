#include "ui/tree.h"

#include "fault/runtimeerror.h"
#include "ui/keys.h"

namespace ui {

QString TreeNode::key() const { return tree_ ? tree_->nodes_.key(node_) : QString(); }
QString TreeNode::text() const { return tree_ ? tree_->nodes_.text(node_) : QString(); }
QString TreeNode::tag() const { return tree_ ? tree_->nodes_.tag(node_) : QString(); }

void TreeNode::setTag(const QString& tag)
{
    if (tree_)
        tree_->nodes_.setTag(node_, tag);
}

void TreeNode::setExpanded(bool expanded)
{
    if (tree_)
        tree_->setNodeExpanded(node_, expanded);
}

void TreeNode::setSorted(bool sorted)
{
    if (tree_)
        tree_->nodes_.setSorted(node_, sorted);
}

Tree::Tree(const QString& name, QWidget* parent) : QTreeView(parent), nodes_(*new TreeModel(this))
{
    setObjectName(name);
    setModel(&nodes_);
    setHeaderHidden(true);
    // Every node is one line of one font: the view need not measure twenty thousand of them.
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeView::doubleClicked, this, [this] { emit dblClick(); });
}

void Tree::clearNodes()
{
    toOpen_.clear();
    setSource(QString(), 0);
    if (refilling_)
        nodes_.gather();
    else
        nodes_.clear();
}

TreeNode Tree::add(const QString& relative, const QString& key, const QString& text, const TreeModel::KeyOrder& keyOrder)
{
    int parent = TreeModel::kNone;
    if (!relative.isEmpty()) {
        parent = nodes_.find(relative);
        if (parent == TreeModel::kNone)
            fault::raise(fault::ElementNotFound, QStringLiteral("Element not found: no node of %1 has the key %2")
                                                     .arg(objectName(), relative));
    }
    if (nodes_.find(key) != TreeModel::kNone)
        fault::raise(fault::KeyNotUnique,
                     QStringLiteral("Key is not unique in collection: %1 already has a node %2").arg(objectName(), key));
    return TreeNode(this, nodes_.add(parent, key, text, keyOrder));
}

TreeNode Tree::node(const QString& key)
{
    const int found = nodes_.find(key);
    return found == TreeModel::kNone ? TreeNode() : TreeNode(this, found);
}

void Tree::remove(const QString& key)
{
    const int found = nodes_.find(key);
    if (found != TreeModel::kNone && nodes_.children(found).isEmpty())
        nodes_.remove(found);
}

QList<TreeNode> Tree::roots()
{
    QList<TreeNode> out;
    for (int root : nodes_.children(TreeModel::kNone))
        out.append(TreeNode(this, root));
    return out;
}

TreeNode Tree::selectedNode() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? TreeNode() : nodeAt(selected.first());
}

TreeNode Tree::nodeAt(const QModelIndex& index) const
{
    const int node = nodes_.nodeOf(index);
    return node == TreeModel::kNone ? TreeNode() : TreeNode(const_cast<Tree*>(this), node);
}

void Tree::setNodeExpanded(int node, bool expanded)
{
    if (refilling_) {
        if (expanded)
            toOpen_.append(node);
        else
            toOpen_.removeAll(node);
        return;
    }
    setExpanded(nodes_.indexOf(node), expanded);
}

Tree::Refill::Refill(Tree& tree, Nodes nodes) : tree_(tree)
{
    tree_.refilling_ = true;
    if (nodes == Kept) {
        // What the view held goes as a refill's would: the selection, the opened nodes.
        tree_.toOpen_.clear();
        tree_.nodes_.hold();
    } else {
        tree_.clearNodes();
    }
}

Tree::Refill::~Refill()
{
    tree_.refilling_ = false;
    tree_.nodes_.show();
    // The view lays itself out once, after the reset: opening a node until then only notes it.
    for (int node : std::as_const(tree_.toOpen_))
        tree_.setExpanded(tree_.nodes_.indexOf(node), true);
    tree_.toOpen_.clear();
}

void Tree::keyPressEvent(QKeyEvent* event)
{
    QTreeView::keyPressEvent(event);
    // A modifier alone is no key of the operator's: it must not finish an edit open elsewhere.
    if (!preparesCharacter(event))
        emit keyDown(keyCode(event), shiftCode(event->modifiers()), event->isAutoRepeat());
}

} // namespace ui
