#pragma once
// The editor's document: the selected card, its datasets and the selected dataset's title and
// values. The grids show it; the dataset file is written from it alone.
#include <QList>
#include <QString>
#include <QStringList>

#include "project/card.h"

namespace project {

class Document {
public:
    /// A row of the dataset list: a file is listed once per title line it holds.
    struct Listed {
        QString file;
        QString title;
        int id = 0; // names the row wherever a grid sorts it
    };
    /// A tag row: the card's definition of the tag, and the selected dataset's value.
    struct Tag {
        TAGDEF def;
        QString value;
    };

    // ---- The card
    /// Selects card index of the table: its tags give the tag rows; no dataset is listed yet.
    void selectCard(short index, const CARD& card);
    short card() const { return card_; }
    const QString& cardFile() const { return cardFile_; }
    /// Lists dataset file of the card once per title.
    void list(const QString& file, const QStringList& titles);
    const QList<Listed>& datasets() const { return datasets_; }
    /// The listed row of id, or null when there is none (any more).
    const Listed* listed(int id) const;

    // ---- The selected dataset
    /// Selects dataset file under title (the row chosen); every value empty until filled, the
    /// file taken as read.
    void selectDataset(const QString& file, const QString& title);
    /// Selects the listed row id; false when it is listed no more.
    bool selectDataset(int id);
    /// No dataset selected: no tag rows.
    void selectNone();
    const QString& dataset() const { return dataset_; }
    const QString& title() const { return title_; }
    const QList<Tag>& tags() const { return tags_; }
    /// The file could not be read: its values are not known, and it is not written over.
    void setUnread() { read_ = false; }
    bool read() const { return read_; }
    /// A value read from the file: into the row of id (a later line wins); a value whose tag the
    /// card does not have is kept as an orphan. False for an orphan.
    bool fill(const QString& id, const QString& value);
    /// The orphans, one "id = value" line each (CR LF ended); empty when there are none.
    QString orphans() const;
    /// The operator's answer to the orphan question: true removes them, so that the next save
    /// writes the card's tags alone; false keeps them in the file, and the question comes again.
    /// Whether the file is to be written now.
    bool answerOrphans(bool remove);

    // ---- Edits: each says why it is refused (empty when taken)
    QString setValue(int row, const QString& value);
    QString setTitle(const QString& title);
    /// Lists and selects a new dataset file titled "New dataset", every value empty; its row's id.
    int add(const QString& file);
    /// Takes every row of file from the list; when it was selected, nothing is.
    void remove(const QString& file);
    /// Whether tag row row takes a picture file: its type is exactly "pic".
    bool isPicture(int row) const;

    // ---- The file
    /// The lines the dataset file holds for the document: the title, then, withTags, one per tag.
    QStringList lines(bool withTags) const;
    /// Writes the selected dataset's file in folder, in the code page, and its UTF-8 copy with
    /// the lines as the file gives them back. Raises 75 for a file that could not be read.
    void save(const QString& folder, bool withTags) const;

private:
    short card_ = 0;
    QString cardFile_;
    QList<TAGDEF> defs_; // the card's tags, one per id, in slot order
    QList<Listed> datasets_;
    int lastId_ = 0;
    int selectedId_ = 0; // the listed row selected, 0 when none is
    QString dataset_;
    QString title_;
    QList<Tag> tags_;
    QStringList orphans_;
    bool read_ = true;
};

} // namespace project
