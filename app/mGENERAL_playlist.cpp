// The playlist page's loaders: the tree of cards and datasets, the playlist file and its grid.
#include <QHash>
#include <algorithm>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "app/playlistlayout.h"
#include "fault/trap.h"
#include "playlist/playlistfile.h"
#include "project/datasetfile.h"
#include "project/folders.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "project/titlecache.h"

namespace app::mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = fault::linebase::mGENERAL_playlist;

QString PlaylistPath(const project::State& s) { return project::paths::join(s.DataFolder, QLatin1String(playlist::playlistfile::kFileName)); }

// The card of a playlist line, looked up once per card name in one load: the card table does not
// change while the playlist loads, and two thousand entries share a few hundred cards.
short EntryCardOnce(const project::State& s, const QString& file, QHash<QString, short>& known)
{
    const QString card = file.isEmpty() ? QString() : project::datasetfile::ownerCard(file);
    if (card.isEmpty())
        return EntryCard(s, file); // an empty line raises, a name without "_" has no card
    const auto found = known.constFind(card);
    return found != known.cend() ? *found : *known.insert(card, FindCardIndex(s, card));
}
} // namespace

namespace {
// What the tree is filled from: the data folder and the cards with a title, in their order. Under
// the same, its datasets can be changed in place.
QString TreeSource(const project::State& s)
{
    QString source = s.DataFolder;
    for (size_t c = 1; c < s.CARDS.size(); ++c)
        if (!s.CARDS[c].Title.isEmpty())
            source += u'\n' + s.CARDS[c].FileName + u'\t' + s.CARDS[c].Title;
    return source;
}
} // namespace

void LOADTREELIST(frmMAIN& f)
{
    ARM_TRAP();
    project::State& s = f.s;
    ui::Tree& tree = *f.trLIST;
    ui::TreeNode node;
    QStringList files;
    QStringList changed;
    project::TitleCache::Kept read;
    QString title;
    QString card;
    bool inPlace = false;

    // Only the datasets are kept from the listing: their copies are as many again. Their titles
    // are read again only where a file changed since the last time, and where the tree showed
    // them all then, only what changed is changed in it.
    project::TitleCache& known = project::TitleCache::of(s.DataFolder);
    const bool listed = STEP(files = known.refresh());
    const QString source = TreeSource(s);
    STEP(inPlace = listed && tree.source() == source && tree.removedNodes() < files.size() / 2 + 64 &&
                   known.changedSince(tree.sourceVersion(), changed));
    // The tree is shown once it is whole, as a tree filled anew.
    const ui::Tree::Refill refill(tree, inPlace ? ui::Tree::Refill::Kept : ui::Tree::Refill::Emptied);
    if (!inPlace) {
        for (size_t i = 1; i < s.CARDS.size(); ++i) {
            const project::CARD& record = s.CARDS[i];
            if (record.Title.isEmpty())
                continue;
            if (!STEP(node = tree.add(QString(), record.FileName, record.Title)))
                continue;
            node.setTag(QStringLiteral("C"));
            node.setSorted(true);
        }
    }
    for (const QByteArray& raw : known.takeUnnamed())
        STEP(fault::raise(fault::BadFileName, BadFileNameText(raw, s.DataFolder)));

    for (const QString& name : inPlace ? changed : files) {
        if (inPlace) {
            tree.remove(name);
            if (!known.has(name)) {
                known.settle(name, false);
                continue;
            }
        }
        card = project::datasetfile::ownerCard(name);
        if (card.isEmpty()) {
            known.settle(name, false);
            continue; // no "_": no card's dataset
        }
        if (const project::TitleCache::Kept* kept = known.kept(name)) {
            read = *kept;
        } else {
            read = {};
            if (!STEP(read.lines = project::datasetfile::keyedLines(
                          project::textfile::readBytes(project::paths::join(s.DataFolder, name)), u"TITLE", &read.numbers))) {
                known.settle(name, true);
                continue;
            }
            // Lines that every reading reports are read afresh each time, to be reported each time.
            read.clean = std::all_of(read.lines.cbegin(), read.lines.cend(), [](const QString& line) { return line.contains(u'~'); });
            known.keep(name, read);
        }
        bool again = !read.clean;
        // The playlist fires from the copies: each follows its dataset before it can be fired.
        if (known.copyMayLag(name)) {
            FollowMe8(s, name);
            const bool lags = project::textfile::missingOrOlder(
                project::paths::join(s.DataFolder, project::datasetfile::copyName(name)), project::paths::join(s.DataFolder, name));
            known.copyFollowed(name, lags);
            again = again || lags;
        }
        if (read.clean && read.title) {
            title = *read.title;
        } else {
            title = LastTitle(read.lines, name, &read.numbers);
            if (read.clean)
                known.keepTitle(name, title);
        }
        known.settle(name, again);
        // A dataset node that cannot be added (no node for its card, or its key taken) is left out
        // without a word. Equal titles go in the listing's order, as they were added when filled anew.
        node = ui::TreeNode();
        fault::ignoringFailure([&] { node = tree.add(card, name, title, project::textfile::listedBefore); });
        node.setTag(QStringLiteral("D"));
    }
    for (ui::TreeNode& cardNode : tree.roots())
        cardNode.setExpanded(true);
    tree.setSource(source, known.version());
}

short EntryCard(const project::State& s, const QString& file)
{
    if (file.isEmpty())
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: an empty line of %1 names no dataset").arg(PlaylistPath(s)));
    const QString card = project::datasetfile::ownerCard(file);
    return card.isEmpty() ? 0 : FindCardIndex(s, card);
}

playlist::RunningOrder::Entry PlaylistEntry(const project::State& s, const QString& file, const QString& title, short card,
                                            bool addedFromTree)
{
    const project::CARD& record = CardRecord(s, card);
    playlist::RunningOrder::Entry entry;
    entry.file = file;
    entry.title = title;
    entry.card = card;
    entry.cardTitle = record.Title;
    entry.type = record.Type;
    entry.channel = record.Channel;
    entry.layer = record.Layer;
    entry.steps = playlist::playlistfile::stepNames(record, addedFromTree);
    return entry;
}

void LOADPLAYLIST(frmMAIN& f)
{
    ARM_TRAP();
    using namespace PlaylistCol;
    project::State& s = f.s;
    ui::Grid& grid = *f.vsPLAYLIST;
    const QString path = PlaylistPath(s);
    QStringList lines;
    QList<playlist::RunningOrder::Entry> entries;
    QHash<QString, QString> titles; // a dataset listed twice is read once
    QHash<QString, short> cards;    // the card of each card name met
    QString title;
    short card = 0;
    int cols = 0;
    int width = 0;

    if (!STEP(cols = playlist::playlistfile::columnCount(s.MaxInvokes)))
        return;
    // The entries shown before go at once, whatever the file turns out to hold.
    f.Playlist.load({});
    f.PlaylistCells->setColumns(cols);
    grid.setFixedRows(1);
    for (int c = 0; c < Steps; ++c)
        grid.setColWidth(c, playlistlayout::kColumns[size_t(c)].twips);
    grid.setColHidden(DatasetFile, true);
    grid.setColCentred(Channel);
    grid.setColCentred(Layer);
    width = playlistlayout::stepWidth(grid.widthTwips(), cols - Steps);
    for (int c = Steps; c < cols; ++c) {
        grid.setColWidth(c, width);
        grid.setColCentred(c);
    }
    grid.setExtendLastCol(true);

    if (!project::textfile::fileExists(path))
        STEP(project::textfile::writeBytes(path, QByteArray()));
    if (!STEP(lines = project::textfile::readLines(path))) {
        // What the file holds is not known: nothing may write over it.
        f.Playlist.setUnread(QStringLiteral("Path/File access error: %1 could not be read; the playlist takes no change, "
                                            "and the file stays as it is, until it is read again")
                                 .arg(QLatin1String(playlist::playlistfile::kFileName)));
        return;
    }
    entries.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (!STEP(card = fault::readingLine(QLatin1String(playlist::playlistfile::kFileName), int(i + 1),
                                            [&] { return EntryCardOnce(s, line, cards); })))
            continue;
        // A name that is missing, or that would reach outside the data folder, is dropped here
        // and from the file at the next save.
        if (!playlist::playlistfile::namesDataset(line) || !project::textfile::fileExists(project::paths::join(s.DataFolder, line)))
            continue;
        const auto known = titles.constFind(line);
        title = known != titles.cend() ? *known : *titles.insert(line, FindDatasetTitle(s, line));
        STEP(entries.append(PlaylistEntry(s, line, title, card, false)));
    }
    f.Playlist.load(std::move(entries));
}

void SavePlayList(frmMAIN& f)
{
    ARM_TRAP();
    // A running order that could not be read is not known, and would write over what is.
    if (f.Playlist.unread())
        return;
    STEP(project::textfile::writeLines(PlaylistPath(f.s), f.Playlist.files()));
}

} // namespace app::mGENERAL
