#pragma once
#include <QByteArray>
#include <QString>
#include <initializer_list>

#include "app/tagmodel.h"
#include "playlist/playlistfile.h"
#include "playlist/runningorder.h"
#include "project/state.h"

namespace ui {
class Grid;
}
namespace app {
class frmMAIN;
}

/// The general module: pickers, path helper, the project-file loaders and writers, the lookups.
namespace app::mGENERAL {

/// The folder picker: the chosen folder's full path, or empty when the operator cancels.
QString SelectFolder();
/// The file picker, owned by the window: the chosen file's full path, or empty.
QString SelectFullPathFile(frmMAIN& f);
/// The last component of a path: the text after its last separator.
QString GetFilenameFromPath(const QString& path);

/// The card grid's columns: the hidden index into CARDS, then what the operator sees.
namespace CardCol {
enum : int { Index = 0, Title = 1, FileName = 2, ChannelLayer = 3 };
}
/// Reads every card file of the project folder into CARDS and the card grid; selects card 1.
void LOADCARDS(frmMAIN& f);
/// The report of a file in folder whose name raw (as the system spells it) cannot be carried back
/// by the system's file names, with its bytes escaped.
QString BadFileNameText(const QByteArray& raw, const QString& folder);
/// The index of the first card whose FileName is name, or 0.
short FindCardIndex(const project::State& s, const QString& name);

/// Resets grid to its header row with these headers and widths (twips); the last column stretches.
void LayOutGrid(ui::Grid& grid, std::initializer_list<const char*> headers, std::initializer_list<int> widths);
/// The record of card in CARDS; raises 9 outside the table.
const project::CARD& CardRecord(const project::State& s, short card);
/// The dataset grid's columns: the hidden file name, then the title.
namespace DatasetCol {
enum : int { File = 0, Description = 1 };
}
/// A project shipped with its datasets (the demo) has them in data/<project name> beside its
/// folder: a data folder that does not exist yet starts as a copy of those.
void FillDataFolder(const project::State& s);
/// Lists the datasets of card cardFile and loads the first one's tags.
void LOADDATASET(frmMAIN& f, const QString& cardFile);
/// Writes dataset file with the title of the dataset grid's current row and, withTags, one line
/// per tag row; then its UTF-8 copy.
void SAVEDATASET(frmMAIN& f, const QString& file, bool withTags);
/// Writes the UTF-8 copy of dataset file: its lines as read back in the code page (read, the lines
/// when the caller has just read them).
void SaveMe8(const project::State& s, const QString& file, const QStringList* read = nullptr);
/// Makes the UTF-8 copy of dataset file again where it is missing or older than the file (changed
/// or copied in from elsewhere), so that what goes on air is what the file holds; a copy as new or
/// newer is kept: it may have been made so on purpose. read: as for SaveMe8.
void FollowMe8(const project::State& s, const QString& file, const QStringList* read = nullptr);
/// The first title of dataset file, or empty.
QString FindDatasetTitle(const project::State& s, const QString& file);

// Three rules name a dataset by its "TITLE" lines, each where the operator has always seen it;
// they run under their caller's trap, and a failed line is reported as the caller's, with the
// file's name and the line's number (numbers: those of lines when they are not all of the file).
/// Every title, in order: the dataset grid lists a file once per title line, so either row
/// selects it. A line without a key is taken for a title line, whose value then fails too.
QStringList AllTitles(const QStringList& lines, const QString& file, const QList<int>* numbers = nullptr);
/// The first title, or empty: the playlist names an entry by it. A line without a key before
/// it is taken for it, and its value fails.
QString FirstTitle(const QStringList& lines, const QString& file, const QList<int>* numbers = nullptr);
/// The last title, or empty: the tree names a dataset by it, each title line replacing the one
/// before. A line without a key is passed over.
QString LastTitle(const QStringList& lines, const QString& file, const QList<int>* numbers = nullptr);
/// The full path of a dataset file of card cardFile that does not exist yet.
QString CreateUniqueFileName(const project::State& s, const QString& cardFile);
/// length random letters and digits.
QString RandomString(short length);

/// The tag grid's columns; only Value is edited.
namespace TagCol {
enum : int { Id = 0, Ani = 1, Type = 2, Title = 3, Value = 4 };
}
/// The tag grid's two looks: the one LOADDATASET gives it before a dataset is loaded (which a
/// card without datasets keeps), and the one LOADTAGS shows a dataset's tags in.
using TagLayout = TagModel::Look;
/// Shows the document's tag rows in the tag grid (none in the first look), with the headers
/// and widths of layout.
void LayOutTagGrid(frmMAIN& f, TagLayout layout);
/// Fills the tag grid with the current card's tags and the values of dataset file; offers to
/// remove saved values whose tag the card no longer has. read: the file's lines, when the
/// caller has just read them.
void LOADTAGS(frmMAIN& f, const QString& file, const QStringList* read = nullptr);

/// Rebuilds the tree of cards and datasets.
void LOADTREELIST(frmMAIN& f);

/// The playlist grid's columns.
namespace PlaylistCol = playlist::playlistfile::Col;
/// Loads the project's playlist into the running order, and lays out its grid.
void LOADPLAYLIST(frmMAIN& f);
/// The card of a playlist entry's dataset file: its index in CARDS, 0 when no card owns it.
/// An empty name raises 9.
short EntryCard(const project::State& s, const QString& file);
/// A playlist entry: dataset file, title, and what card gives (type, title, channel, layer,
/// steps); an entry added from the tree lists a command card's invoke names too.
playlist::RunningOrder::Entry PlaylistEntry(const project::State& s, const QString& file, const QString& title, short card,
                                            bool addedFromTree);
/// Writes the running order to playlist.dat.
void SavePlayList(frmMAIN& f);

} // namespace app::mGENERAL
