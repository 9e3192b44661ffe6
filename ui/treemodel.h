#pragma once
#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <functional>
#include <vector>

namespace ui {

/// The nodes a Tree shows, kept in one vector: each node has a unique key, a text, a tag the
/// handlers read, and children in the order given or sorted by text. Nodes can be gathered
/// apart from what the view shows and then shown in one reset, as a whole tree is loaded.
class TreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    /// Roles beyond the text: the key and the tag, which are never drawn.
    enum Role : int { KeyRole = Qt::UserRole, TagRole };
    static constexpr int kNone = -1;

    explicit TreeModel(QObject* parent = nullptr);

    /// Removes every node, shown or gathered.
    void clear();
    /// Empties the tree; from now on nodes are gathered without the view hearing of them, and
    /// it shows an empty tree until show().
    void gather();
    /// Keeps the nodes but hides them from the view as gather() does, to be changed and then shown
    /// in one reset.
    void hold();
    /// Shows what was gathered since gather() or hold(), in one reset.
    void show();

    /// The node with this key; kNone when there is none.
    int find(const QString& key) const;
    /// Orders keys: true when the first goes before the second.
    using KeyOrder = std::function<bool(const QString&, const QString&)>;
    /// Adds a node under parent (a root when parent is kNone) and returns it. The key must be new.
    /// Among sorted children of equal text it goes last, or by keyOrder when one is given.
    int add(int parent, const QString& key, const QString& text, const KeyOrder& keyOrder = {});
    /// Removes a node without children; its number is not used again.
    void remove(int node);
    /// Nodes removed since the tree was last emptied.
    int removed() const { return removed_; }
    /// The node's children (the roots for kNone).
    const QList<int>& children(int node) const { return childrenOf(node); }

    QString key(int node) const { return nodes_[size_t(node)].key; }
    QString text(int node) const { return nodes_[size_t(node)].text; }
    QString tag(int node) const { return nodes_[size_t(node)].tag; }
    void setTag(int node, const QString& tag) { nodes_[size_t(node)].tag = tag; }
    /// Keeps the node's children sorted by their text, equal texts in the order they came.
    void setSorted(int node, bool sorted);

    /// The model index of a shown node; invalid while it is only gathered.
    QModelIndex indexOf(int node) const;
    /// The node of a model index; kNone for an invalid one.
    int nodeOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node {
        QString key;
        QString text;
        QString tag;
        int parent = kNone;
        int row = 0; // its place among its parent's children (or the roots)
        bool sorted = false;
        QList<int> children;
    };
    QList<int>& childrenOf(int node) { return node == kNone ? roots_ : nodes_[size_t(node)].children; }
    const QList<int>& childrenOf(int node) const { return node == kNone ? roots_ : nodes_[size_t(node)].children; }
    int placeFor(int parent, const QString& text, const QString& key, const KeyOrder& keyOrder) const;
    void renumber(int parent, int from);

    std::vector<Node> nodes_;
    QList<int> roots_;
    QHash<QString, int> keys_;
    // While gathering, the view is shown an empty tree: a box the trap opens half-way through a
    // load lets it paint.
    bool gathering_ = false;
    int removed_ = 0;
};

} // namespace ui
