#pragma once
// The playlist's rules over plain values: which names an entry may hold, its step cells, and
// the widths of the step columns.
#include <QString>
#include <QStringList>
#include <array>

#include "project/card.h"

namespace playlist::playlistfile {

/// The playlist grid's columns: the dataset file (hidden), five that describe the entry, then
/// one per step from Steps on.
namespace Col {
enum : int { DatasetFile = 0, Type = 1, Description = 2, Ft = 3, Channel = 4, Layer = 5, Steps = 6 };
}
/// The fixed columns, header and width in twips, in order.
struct Column {
    const char* header;
    int twips;
};
inline constexpr std::array<Column, Col::Steps> kColumns{
    {{"datasetfile", 0}, {"Type", 500}, {"Description", 3100}, {"Ft", 1200}, {"C", 400}, {"L", 400}}};
/// The twips the fixed columns take.
constexpr int fixedWidth()
{
    int twips = 0;
    for (const Column& c : kColumns)
        twips += c.twips;
    return twips;
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
/// Below this a step column's name cannot be read; a narrow grid keeps it.
inline constexpr int kMinStepWidth = 600;
/// The width of each step column: what the fixed columns leave of the grid's width, shared
/// equally and rounded down, but at least kMinStepWidth.
int stepWidth(int gridTwips, int stepColumns);

} // namespace playlist::playlistfile
