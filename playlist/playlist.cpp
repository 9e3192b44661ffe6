#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/mGENERAL.h"

namespace mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = linebase::mGENERAL_playlist;
} // namespace

bool LOADTREELIST(frmMAIN& f)
{
    ARM_TRAP();
    // The tree of cards and datasets arrives with the playlist page.
    Q_UNUSED(f);
    return false;
}

void LOADPLAYLIST(frmMAIN& f)
{
    ARM_TRAP();
    // The playlist file arrives with the playlist page.
    Q_UNUSED(f);
}

} // namespace mGENERAL
