#pragma once
// How the playlist grid is laid out: the fixed columns' headers and widths, and the width of
// the step columns.
#include <array>

#include "playlist/playlistfile.h"

namespace app::playlistlayout {

/// A fixed column: its header and its width in twips.
struct Column {
    const char* header;
    int twips;
};
/// The fixed columns, in order: those before the first step.
inline constexpr std::array<Column, playlist::playlistfile::Col::Steps> kColumns{
    {{"datasetfile", 0}, {"Type", 500}, {"Description", 3100}, {"Ft", 1200}, {"C", 400}, {"L", 400}}};
/// The twips the fixed columns take.
constexpr int fixedWidth()
{
    int twips = 0;
    for (const Column& c : kColumns)
        twips += c.twips;
    return twips;
}

/// Below this a step column's name cannot be read; a narrow grid keeps it.
inline constexpr int kMinStepWidth = 600;
/// The width of each step column: what the fixed columns leave of the grid's width, shared
/// equally and rounded down, but at least kMinStepWidth.
int stepWidth(int gridTwips, int stepColumns);

} // namespace app::playlistlayout
