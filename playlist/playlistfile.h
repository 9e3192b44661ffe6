#pragma once
// The playlist's rules over plain values: which names an entry may hold, its step cells, and
// how many columns its entries take.
#include <QString>
#include <QStringList>

#include "project/card.h"

namespace playlist::playlistfile {

/// The columns of an entry: the dataset file (hidden in the grid), five that describe the entry,
/// then one per step from Steps on.
namespace Col {
enum : int { DatasetFile = 0, Type = 1, Description = 2, Ft = 3, Channel = 4, Layer = 5, Steps = 6 };
}

/// The file's name inside the data folder.
inline constexpr char kFileName[] = "playlist.dat";

/// Whether a line of the file can name a dataset of the data folder: not empty, no "/" or "\",
/// not "." or "..". Any other line would reach outside the folder.
bool namesDataset(const QString& line);

/// The step cells of an entry of card. A card with a command gets "Custom" alone when its entry is
/// loaded from the file, "Custom" and its invoke names when it is added from the tree; any other
/// card "Play", "Update" and its invoke names.
QStringList stepNames(const project::CARD& card, bool addedFromTree);

/// The columns of the grid: the fixed ones, "Play", "Update" and the longest invoke list.
/// Raises 6 (overflow) above 32767.
int columnCount(int maxInvokes);

} // namespace playlist::playlistfile
