#pragma once
#include <QString>

#include "project/state.h"

class frmMAIN;

/// The general module: pickers, path helper, the project-file loaders and writers, the lookups.
namespace mGENERAL {

/// The folder picker: the chosen folder's full path, or empty when the operator cancels.
QString SelectFolder();
/// The file picker, owned by the window: the chosen file's full path, or empty.
QString SelectFullPathFile(frmMAIN& f);
/// The last component of a path: the text after its last separator.
QString GetFilenameFromPath(const QString& path);

/// Reads every card file of the project folder into CARDS and the card grid; selects card 1.
void LOADCARDS(frmMAIN& f);
/// The index of the first card whose FileName is name, or 0.
short FindCardIndex(const State& s, const QString& name);
/// The slot of the first tag of card whose Id is id, or 0.
short FindTagInCard(const State& s, short card, const QString& id);

/// Lists the datasets of card cardFile and loads the first one's tags.
void LOADDATASET(frmMAIN& f, const QString& cardFile);

/// Rebuilds the tree of cards and datasets. Always false.
bool LOADTREELIST(frmMAIN& f);
/// Loads the project's playlist into its grid.
void LOADPLAYLIST(frmMAIN& f);

} // namespace mGENERAL
