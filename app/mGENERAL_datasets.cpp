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

// Raises 5 for a dataset the document does not hold: its title and values are not known here.
void MustBeShown(const project::Document& doc, const QString& file)
{
    if (file != doc.dataset())
        fault::raise(fault::InvalidProcedureCall,
                     QStringLiteral("Invalid procedure call: %1 is not the dataset shown").arg(file));
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
    STEP(actions.Invoke = CardRecord(s, f.Doc.card()).Invoke);
    STEP(actions.Command = CardRecord(s, f.Doc.card()).Command);
    // The card's datasets are listed anew: files may have changed since.
    if (const project::CARD* card = nullptr; STEP(card = &CardRecord(s, f.Doc.card())))
        f.Doc.selectCard(f.Doc.card(), *card);
    f.cmbINVOKES->clear();
    // The steps the card's playlist entry would show when read from the file.
    for (const QString& name : playlist::playlistfile::stepNames(actions, false))
        f.cmbINVOKES->addItem(name);

    ui::Grid& grid = *f.vsDATASET;
    f.DatasetCells->showAll();
    grid.setFixedRows(1);
    grid.setColWidth(DatasetCol::File, 0);
    grid.setColWidth(DatasetCol::Description, 10);
    grid.setExtendLastCol(true);
    grid.setColHidden(DatasetCol::File, true);
    LayOutTagGrid(f, TagLayout::NoDataset);

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
        f.Doc.list(name, AllTitles(lines, name));
    }

    f.Doc.selectNone();
    f.DatasetCells->showAll();
    grid.sortRows(DatasetCol::Description, Qt::AscendingOrder);

    if (grid.rows() > 1) {
        grid.setRow(1);
        f.Doc.selectDataset(grid.rowKey(1).toInt());
        const auto lines = read.constFind(f.Doc.dataset());
        LOADTAGS(f, f.Doc.dataset(), lines == read.cend() ? nullptr : &*lines);
    }
}

void SAVEDATASET(frmMAIN& f, const QString& file, bool withTags)
{
    ARM_TRAP();
    // With no dataset selected there is nothing to write to.
    if (file.isEmpty())
        return;
    if (!STEP(MustBeShown(f.Doc, file)))
        return;
    // The title and values the document holds, the copy with them as the file gives them back;
    // a file that could not be read is not written over.
    STEP(f.Doc.save(f.s.DataFolder, withTags));
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
