#include "ui/tree.h"

#include <QSignalBlocker>
#include <algorithm>

#include "fault/runtimeerror.h"
#include "ui/keys.h"

namespace ui {

namespace {
enum Role : int { KeyRole = Qt::UserRole, TagRole, SortedRole };

// The order the grids sort a column of titles in: the text's code units, ties kept in order.
bool before(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseSensitive) < 0; }

// The tag and the sorted flag are not shown: writing them tells the view nothing, which a
// tree of twenty thousand nodes would otherwise hear of node by node.
void setUnseen(QTreeWidgetItem* item, int role, const QVariant& value)
{
    QTreeWidget* tree = item->treeWidget();
    const QSignalBlocker quiet(tree ? tree->model() : nullptr);
    item->setData(0, role, value);
}
} // namespace

QString TreeNode::key() const { return item_ ? item_->data(0, KeyRole).toString() : QString(); }
QString TreeNode::text() const { return item_ ? item_->text(0) : QString(); }
QString TreeNode::tag() const { return item_ ? item_->data(0, TagRole).toString() : QString(); }

void TreeNode::setTag(const QString& tag)
{
    if (item_)
        setUnseen(item_, TagRole, tag);
}

void TreeNode::setExpanded(bool expanded)
{
    if (item_)
        item_->setExpanded(expanded);
}

void TreeNode::setSorted(bool sorted)
{
    if (!item_)
        return;
    setUnseen(item_, SortedRole, sorted);
    if (!sorted || item_->childCount() < 2)
        return;
    QList<QTreeWidgetItem*> children = item_->takeChildren();
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) { return before(a->text(0), b->text(0)); });
    item_->addChildren(children);
}

Tree::Tree(const QString& name, QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(name);
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { emit dblClick(); });
}

void Tree::clearNodes()
{
    keys_.clear();
    clear();
}

TreeNode Tree::add(const QString& relative, const QString& key, const QString& text)
{
    QTreeWidgetItem* parent = nullptr;
    if (!relative.isEmpty()) {
        parent = keys_.value(relative);
        if (!parent)
            fault::raise(fault::ElementNotFound, QStringLiteral("Element not found: no node of %1 has the key %2")
                                                     .arg(objectName(), relative));
    }
    QTreeWidgetItem*& slot = keys_[key];
    if (slot)
        fault::raise(fault::KeyNotUnique,
                     QStringLiteral("Key is not unique in collection: %1 already has a node %2").arg(objectName(), key));
    auto* item = new QTreeWidgetItem(QStringList{text});
    slot = item;
    item->setData(0, KeyRole, key);
    if (!parent) {
        addTopLevelItem(item);
    } else if (parent->data(0, SortedRole).toBool()) {
        // After the last child whose text does not sort after this one: equal texts keep their order.
        int lo = 0;
        int hi = parent->childCount();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (before(text, parent->child(mid)->text(0)))
                hi = mid;
            else
                lo = mid + 1;
        }
        insertUnder(parent, lo, item);
    } else {
        insertUnder(parent, parent->childCount(), item);
    }
    return TreeNode(item);
}

void Tree::insertUnder(QTreeWidgetItem* parent, int at, QTreeWidgetItem* item)
{
    if (parent->isExpanded()) {
        parent->insertChild(at, item);
        return;
    }
    // Under a closed node the new node is not shown: the view takes it in at its next layout
    // rather than hearing of each of a card's datasets one by one.
    {
        const QSignalBlocker quiet(model());
        parent->insertChild(at, item);
    }
    scheduleDelayedItemsLayout();
}

TreeNode Tree::selectedNode() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return TreeNode(selected.isEmpty() ? nullptr : selected.first());
}

void Tree::keyPressEvent(QKeyEvent* event)
{
    QTreeWidget::keyPressEvent(event);
    emit keyDown(keyCode(event), shiftCode(event->modifiers()), event->isAutoRepeat());
}

} // namespace ui
