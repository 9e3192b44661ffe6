#include "ui/treemodel.h"

#include <algorithm>

#include "ui/shown.h"

namespace ui {

namespace {
// The order the grids sort a column of titles in: the text's code units.
bool before(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseSensitive) < 0; }
} // namespace

TreeModel::TreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void TreeModel::clear()
{
    beginResetModel();
    nodes_.clear();
    roots_.clear();
    keys_.clear();
    gathering_ = false;
    removed_ = 0;
    endResetModel();
}

void TreeModel::gather()
{
    clear();
    gathering_ = true;
}

void TreeModel::hold()
{
    if (gathering_)
        return;
    beginResetModel();
    gathering_ = true;
    endResetModel();
}

void TreeModel::show()
{
    if (!gathering_)
        return;
    beginResetModel();
    gathering_ = false;
    endResetModel();
}

int TreeModel::find(const QString& key) const { return keys_.value(key, kNone); }

int TreeModel::add(int parent, const QString& key, const QString& text, const KeyOrder& keyOrder)
{
    const int node = int(nodes_.size());
    const QList<int>& siblings = childrenOf(parent);
    const bool sorted = parent != kNone && nodes_[size_t(parent)].sorted;
    const int row = sorted ? placeFor(parent, text, key, keyOrder) : int(siblings.size());
    const bool seen = !gathering_;
    if (seen)
        beginInsertRows(indexOf(parent), row, row);
    nodes_.push_back({key, text, QString(), parent, row, false, {}});
    keys_.insert(key, node);
    childrenOf(parent).insert(row, node);
    renumber(parent, row + 1);
    if (seen)
        endInsertRows();
    return node;
}

// After the last child whose text does not sort after this one: equal texts keep their order,
// or the keys' order when one is given.
int TreeModel::placeFor(int parent, const QString& text, const QString& key, const KeyOrder& keyOrder) const
{
    const QList<int>& children = childrenOf(parent);
    const auto at = std::upper_bound(children.begin(), children.end(), text, [&](const QString& t, int child) {
        const Node& other = nodes_[size_t(child)];
        if (!keyOrder)
            return before(t, other.text);
        const int r = QString::compare(t, other.text, Qt::CaseSensitive);
        return r != 0 ? r < 0 : keyOrder(key, other.key);
    });
    return int(at - children.begin());
}

void TreeModel::remove(int node)
{
    Node& n = nodes_[size_t(node)];
    const int parent = n.parent;
    const int row = n.row;
    const bool seen = !gathering_;
    if (seen)
        beginRemoveRows(indexOf(parent), row, row);
    childrenOf(parent).removeAt(row);
    renumber(parent, row);
    keys_.remove(n.key);
    n = Node{QString(), QString(), QString(), kNone, 0, false, {}};
    ++removed_;
    if (seen)
        endRemoveRows();
}

void TreeModel::renumber(int parent, int from)
{
    const QList<int>& children = childrenOf(parent);
    for (qsizetype i = from; i < children.size(); ++i)
        nodes_[size_t(children[i])].row = int(i);
}

void TreeModel::setSorted(int node, bool sorted)
{
    Node& n = nodes_[size_t(node)];
    n.sorted = sorted;
    if (!sorted || n.children.size() < 2)
        return;
    const bool seen = !gathering_;
    const QModelIndexList held = seen ? persistentIndexList() : QModelIndexList();
    if (seen)
        emit layoutAboutToBeChanged({indexOf(node)}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(n.children.begin(), n.children.end(),
                     [this](int a, int b) { return before(nodes_[size_t(a)].text, nodes_[size_t(b)].text); });
    renumber(node, 0);
    if (!seen)
        return;
    // A selected or current child keeps pointing at its node, now on another row.
    QModelIndexList moved;
    for (const QModelIndex& index : held)
        moved.append(indexOf(nodeOf(index)));
    changePersistentIndexList(held, moved);
    emit layoutChanged({indexOf(node)}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex TreeModel::indexOf(int node) const
{
    if (node == kNone || gathering_)
        return QModelIndex();
    return createIndex(nodes_[size_t(node)].row, 0, quintptr(node));
}

int TreeModel::nodeOf(const QModelIndex& index) const { return index.isValid() ? int(index.internalId()) : kNone; }

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const QList<int>& children = childrenOf(nodeOf(parent));
    if (gathering_ || column != 0 || row < 0 || row >= children.size())
        return QModelIndex();
    return createIndex(row, 0, quintptr(children[row]));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const
{
    const int node = nodeOf(child);
    return node == kNone ? QModelIndex() : indexOf(nodes_[size_t(node)].parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (gathering_ || parent.column() > 0)
        return 0;
    return int(childrenOf(nodeOf(parent)).size());
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    const int node = nodeOf(index);
    if (node == kNone)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole: return nodes_[size_t(node)].text.left(kShownChars); // what is painted, cut as the grids cut it
    case KeyRole: return nodes_[size_t(node)].key;
    case TagRole: return nodes_[size_t(node)].tag;
    default: return QVariant();
    }
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

} // namespace ui
