#include "project/document.h"

#include <algorithm>

#include "fault/runtimeerror.h"
#include "project/codepage.h"
#include "project/datasetfile.h"
#include "project/paths.h"
#include "project/textfile.h"

namespace project {

void Document::selectCard(short index, const CARD& card)
{
    card_ = index;
    cardFile_ = card.FileName;
    defs_.clear();
    for (size_t slot = 1; slot < card.Tags.size(); ++slot) {
        const TAGDEF& def = card.Tags[slot];
        // One row per id: a repeated id would write two lines, and the later would win.
        if (def.Id.isEmpty() || std::any_of(defs_.cbegin(), defs_.cend(), [&](const TAGDEF& d) { return d.Id == def.Id; }))
            continue;
        defs_.append(def);
    }
    datasets_.clear();
    selectNone();
}

void Document::list(const QString& file, const QStringList& titles)
{
    for (const QString& title : titles)
        datasets_.append({file, title, ++lastId_});
}

const Document::Listed* Document::listed(int id) const
{
    for (const Listed& row : datasets_)
        if (row.id == id)
            return &row;
    return nullptr;
}

bool Document::selectDataset(int id)
{
    const Listed* row = listed(id);
    if (!row)
        return false;
    const Listed chosen = *row;
    selectDataset(chosen.file, chosen.title);
    selectedId_ = id;
    return true;
}

void Document::selectDataset(const QString& file, const QString& title)
{
    dataset_ = file;
    title_ = title;
    selectedId_ = 0;
    for (const Listed& row : std::as_const(datasets_)) {
        if (row.file == file && row.title == title) {
            selectedId_ = row.id;
            break;
        }
    }
    tags_.clear();
    tags_.reserve(defs_.size());
    for (const TAGDEF& def : std::as_const(defs_))
        tags_.append({def, QString()});
    orphans_.clear();
    read_ = true;
}

void Document::selectNone()
{
    dataset_.clear();
    title_.clear();
    selectedId_ = 0;
    tags_.clear();
    orphans_.clear();
    read_ = true;
}

bool Document::fill(const QString& id, const QString& value)
{
    for (Tag& tag : tags_) {
        if (tag.def.Id == id) {
            tag.value = value;
            return true;
        }
    }
    orphans_.append(id + QStringLiteral(" = ") + value + QStringLiteral("\r\n"));
    return false;
}

QString Document::orphans() const { return orphans_.join(QString()); }

bool Document::answerOrphans(bool remove)
{
    orphans_.clear();
    return remove;
}

QString Document::setValue(int row, const QString& value)
{
    if (row < 0 || row >= tags_.size())
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: tag row %1 of %2").arg(row + 1).arg(tags_.size()));
    const QString why = datasetfile::refusal(value, datasetfile::Field::Value);
    if (why.isEmpty())
        tags_[row].value = value;
    return why;
}

QString Document::setTitle(const QString& title)
{
    const QString why = datasetfile::refusal(title, datasetfile::Field::Title);
    if (!why.isEmpty() || dataset_.isEmpty())
        return why;
    for (Listed& row : datasets_)
        if (row.id == selectedId_)
            row.title = title;
    title_ = title;
    return why;
}

int Document::add(const QString& file)
{
    const QString title = QStringLiteral("New dataset");
    datasets_.append({file, title, ++lastId_});
    selectDataset(lastId_);
    return lastId_;
}

void Document::remove(const QString& file)
{
    datasets_.removeIf([&](const Listed& row) { return row.file == file; });
    if (dataset_ == file)
        selectNone();
}

bool Document::isPicture(int row) const
{
    return row >= 0 && row < tags_.size() && tags_[row].def.Type == QLatin1String("pic");
}

QStringList Document::lines(bool withTags) const
{
    QList<datasetfile::TagValue> values;
    if (withTags)
        for (const Tag& tag : tags_)
            values.append({tag.def.Id, tag.value});
    return datasetfile::composeLines(title_, values);
}

void Document::save(const QString& folder, bool withTags) const
{
    if (!read_)
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: %1 could not be read; it is not written over until it is read again")
                         .arg(dataset_));
    QStringList written = lines(withTags);
    textfile::writeLines(paths::join(folder, dataset_), written);
    // What goes on air is what the file gives back.
    for (QString& line : written)
        line = codepage::decode(codepage::encode(line));
    textfile::writeLines(paths::join(folder, datasetfile::copyName(dataset_)), written, textfile::Encoding::Utf8);
}

} // namespace project
