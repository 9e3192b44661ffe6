#include "app/playlistlayout.h"

#include <algorithm>

namespace app::playlistlayout {

int stepWidth(int gridTwips, int stepColumns)
{
    if (stepColumns < 1)
        return kMinStepWidth;
    return std::max((gridTwips - fixedWidth()) / stepColumns, kMinStepWidth);
}

} // namespace app::playlistlayout
