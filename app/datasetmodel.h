#pragma once
// The dataset grid's view of the document: a row per title line of the card's dataset files,
// the file name and the title, in the order the grid was last sorted in.
#include <QAbstractTableModel>
#include <QList>

#include "project/document.h"

namespace app {

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Col : int { File = 0, Description = 1, Cols = 2 };

    explicit DatasetModel(const project::Document& doc, QObject* parent);

    /// Shows the document's listed rows as they are now, in its order.
    void showAll();
    /// The document listed one row more, at its end.
    void appended();
    /// The document took every row of file: their grid rows go.
    void removed();
    /// The title of the listed row id changed in the document.
    void titleChanged(int id);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// A stable sort on the column's text (plain QString order).
    void sort(int column, Qt::SortOrder order) override;

private:
    const project::Document::Listed* at(int row) const;

    const project::Document& doc_;
    QList<int> ids_; // the listed row shown in each grid row
    bool shown_ = false; // no columns until the first show: no project, no grid
};

} // namespace app
