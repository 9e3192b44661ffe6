// The dataset files of a card: listing, writing with the UTF-8 copy, titles and new names.
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QScopedValueRollback>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "playlist/playlistfile.h"
#include "project/datasetfile.h"
#include "project/folders.h"
#include "project/paths.h"
#include "project/textfile.h"

namespace app::mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = fault::linebase::mGENERAL_datasets;

// Raises 75 for a dataset whose file could not be read: writing it would lose what it holds.
void MustBeRead(const project::State& s, const QString& file)
{
    if (file == s.UnreadDataset)
        fault::raise(fault::PathFileAccessError,
                     QStringLiteral("Path/File access error: %1 could not be read; it is not written over until it is read again")
                         .arg(file));
}

int CurrentDataRow(const ui::Grid& grid)
{
    if (grid.row() < 1)
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: %1 has no current row").arg(grid.objectName()));
    return grid.row();
}
} // namespace

const project::CARD& CardRecord(const project::State& s, short card)
{
    if (card < 0 || size_t(card) >= s.CARDS.size())
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: card %1 of %2 cards")
                                                     .arg(card)
                                                     .arg(qsizetype(s.CARDS.size()) - 1));
    return s.CARDS[size_t(card)];
}

void LayOutGrid(ui::Grid& grid, std::initializer_list<const char*> headers, std::initializer_list<int> widths)
{
    grid.setRows(1);
    grid.setCols(int(headers.size()));
    grid.setFixedRows(1);
    int c = 0;
    for (const char* header : headers)
        grid.setTextMatrix(0, c++, QLatin1String(header));
    c = 0;
    for (int width : widths)
        grid.setColWidth(c++, width);
    grid.setExtendLastCol(true);
}

void FillDataFolder(const project::State& s)
{
    ARM_TRAP();
    QStringList files;

    // Every account's first start on the installed demo shows its datasets and running order.
    const QString shipped = QDir::toNativeSeparators(
        QFileInfo(s.ProjectFolder).dir().filePath(QStringLiteral("data/") + s.ProjectName));
    if (s.ProjectName.isEmpty() || project::textfile::folderExists(s.DataFolder) ||
        !project::textfile::folderExists(shipped))
        return;
    if (!STEP(files = project::textfile::listFiles(shipped)))
        return;
    STEP(project::textfile::createFolder(s.DataFolder));
    for (const QString& name : files)
        STEP(project::textfile::writeBytes(project::paths::join(s.DataFolder, name),
                                           project::textfile::readBytes(project::paths::join(shipped, name))));
}

void LOADDATASET(frmMAIN& f, const QString& cardFile)
{
    ARM_TRAP();
    project::State& s = f.s;
    project::CARD actions; // only the two fields the action list is made of
    QStringList files;
    QHash<QString, QStringList> read; // the lines of each file listed: the first one's tags come from them

    // The dataset grid's own events stay quiet while it is filled here.
    const QScopedValueRollback quiet(f.LoadingDatasets, true);
    STEP(actions.Invoke = CardRecord(s, s.CurrentCard).Invoke);
    STEP(actions.Command = CardRecord(s, s.CurrentCard).Command);
    f.cmbINVOKES->clear();
    // The steps the card's playlist entry would show when read from the file.
    for (const QString& name : playlist::playlistfile::stepNames(actions, false))
        f.cmbINVOKES->addItem(name);

    ui::Grid& grid = *f.vsDATASET;
    LayOutGrid(grid, {"filename", "Description"}, {0, 10});
    grid.setColHidden(DatasetCol::File, true);
    LayOutTagGrid(*f.vsTAGS, TagLayout::NoDataset);

    if (!project::textfile::folderExists(s.DataFolder))
        STEP(project::textfile::createFolder(s.DataFolder));
    // Only the card's own names are kept from a folder that holds every card's datasets.
    STEP(files = project::textfile::listFiles(s.DataFolder,
                                     [&](const QString& name) { return project::datasetfile::belongsTo(name, cardFile); }));
    for (const QString& name : files) {
        QStringList& lines = read[name];
        // What goes on air is the copy: it follows the file before anything can be aired from it.
        if (STEP(lines = project::textfile::readLines(project::paths::join(s.DataFolder, name))))
            FollowMe8(s, name, &lines);
        // Cell by cell: a title is the operator's text and may hold a TAB, a file name too.
        for (const QString& title : AllTitles(lines, name))
            grid.addItem(QStringList{name, title}, name);
    }

    s.CurrentDataset.clear();
    s.UnreadDataset.clear();
    grid.sortRows(DatasetCol::Description, Qt::AscendingOrder);

    if (grid.rows() > 1) {
        grid.setRow(1);
        s.CurrentDataset = grid.rowKey(1).toString();
        const auto lines = read.constFind(s.CurrentDataset);
        LOADTAGS(f, s.CurrentDataset, lines == read.cend() ? nullptr : &*lines);
    }
}

void SAVEDATASET(frmMAIN& f, const QString& file, bool withTags)
{
    ARM_TRAP();
    project::State& s = f.s;
    QString title;
    QList<project::datasetfile::TagValue> tags;

    // With no dataset selected there is nothing to write to.
    if (file.isEmpty())
        return;
    if (!STEP(MustBeRead(s, file)))
        return;
    STEP(title = f.vsDATASET->textMatrix(CurrentDataRow(*f.vsDATASET), DatasetCol::Description));
    if (withTags) {
        for (int r = 1; r < f.vsTAGS->rows(); ++r)
            tags.append({f.vsTAGS->textMatrix(r, TagCol::Id), f.vsTAGS->textMatrix(r, TagCol::Value)});
    }
    STEP(project::textfile::writeLines(project::paths::join(s.DataFolder, file), project::datasetfile::composeLines(title, tags)));
    SaveMe8(s, file);
}

void SaveMe8(const project::State& s, const QString& file, const QStringList* read)
{
    ARM_TRAP();
    QStringList lines;

    // A copy made from a file that could not be read would be empty: keep the old one.
    if (read ? (lines = *read, true) : STEP(lines = project::textfile::readLines(project::paths::join(s.DataFolder, file))))
        STEP(project::textfile::writeLines(project::paths::join(s.DataFolder, project::datasetfile::copyName(file)), lines,
                                  project::textfile::Encoding::Utf8));
}

void FollowMe8(const project::State& s, const QString& file, const QStringList* read)
{
    const QString path = project::paths::join(s.DataFolder, file);
    if (project::textfile::missingOrOlder(project::paths::join(s.DataFolder, project::datasetfile::copyName(file)), path))
        SaveMe8(s, file, read);
}

QString FindDatasetTitle(const project::State& s, const QString& file)
{
    ARM_TRAP();
    QStringList lines;
    QList<int> numbers;

    if (file.isEmpty())
        return QString();
    STEP(lines = project::datasetfile::keyedLines(project::textfile::readBytes(project::paths::join(s.DataFolder, file)), u"TITLE",
                                                  &numbers));
    return FirstTitle(lines, file, &numbers);
}

namespace {
int LineNumber(qsizetype i, const QList<int>* numbers) { return numbers ? numbers->at(i) : int(i + 1); }
QString Key(const QString& line, const QString& file, int n)
{
    return fault::readingLine(file, n, [&] { return project::datasetfile::lineKey(line); });
}
QString Value(const QString& line, const QString& file, int n)
{
    return fault::readingLine(file, n, [&] { return project::datasetfile::lineValue(line); });
}
} // namespace

QStringList AllTitles(const QStringList& lines, const QString& file, const QList<int>* numbers)
{
    CALLERS_TRAP();
    QStringList titles;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int n = LineNumber(i, numbers);
        if (STEP_IF(Key(lines[i], file, n) == QLatin1String("TITLE")))
            STEP(titles.append(Value(lines[i], file, n)));
    }
    return titles;
}

QString FirstTitle(const QStringList& lines, const QString& file, const QList<int>* numbers)
{
    CALLERS_TRAP();
    QString title;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int n = LineNumber(i, numbers);
        if (STEP_IF(Key(lines[i], file, n) == QLatin1String("TITLE"))) {
            STEP(title = Value(lines[i], file, n));
            break;
        }
    }
    return title;
}

QString LastTitle(const QStringList& lines, const QString& file, const QList<int>* numbers)
{
    CALLERS_TRAP();
    QString key;
    QString title;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int n = LineNumber(i, numbers);
        if (!STEP(key = Key(lines[i], file, n)))
            continue;
        if (key == QLatin1String("TITLE"))
            STEP(title = Value(lines[i], file, n));
    }
    return title;
}

QString CreateUniqueFileName(const project::State& s, const QString& cardFile)
{
    ARM_TRAP();
    QString path;
    do {
        path = project::paths::join(s.DataFolder, cardFile + QLatin1Char('_') + RandomString(8) + QStringLiteral(".ftd"));
    } while (project::textfile::fileExists(path));
    return path;
}

QString RandomString(short length)
{
    ARM_TRAP();
    // The global generator is seeded from the system's entropy once per run.
    return project::datasetfile::randomString(length, *QRandomGenerator::global());
}

} // namespace app::mGENERAL
