#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/mGENERAL.h"

namespace mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = linebase::mGENERAL_datasets;
} // namespace

void LOADDATASET(frmMAIN& f, const QString& cardFile)
{
    ARM_TRAP();
    // The dataset files arrive with the editor page.
    Q_UNUSED(f);
    Q_UNUSED(cardFile);
}

} // namespace mGENERAL
