#pragma once
// The tag grid's view of the document: a row per tag of the selected dataset, the card's
// definition of it and its value, under the headers of one of the grid's two looks.
#include <QAbstractTableModel>

#include "project/document.h"

namespace app {

class TagModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// The look LOADDATASET gives the grid before a dataset is loaded (which a card without
    /// datasets keeps), and the one a dataset's tags are shown in.
    enum class Look { NoDataset, Dataset };
    /// The columns; only Value is edited.
    enum Col : int { Id = 0, Ani = 1, Type = 2, Title = 3, Value = 4, Cols = 5 };

    TagModel(const project::Document& doc, QObject* parent);

    /// Shows the document's rows as they are now, under look's headers; the first look shows none.
    void show(Look look);
    /// The value of tag row row changed in the document.
    void valueChanged(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const project::Document& doc_;
    Look look_ = Look::NoDataset;
    bool shown_ = false; // no columns until the first show: no project, no grid
    int rows_ = 0; // the rows shown: the document's as of the last show
};

} // namespace app
