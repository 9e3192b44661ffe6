#include "fault/vbwProtector.h"

#include "fault/trap.h"
#include "ui/dialogs.h"

namespace vbwProtector {

namespace {
constexpr const char* kModule = "vbwProtector";
constexpr int LINE_BASE = linebase::vbwProtector;
bool started = false;
} // namespace

void vbwInitializeProtector()
{
    ARM_TRAP();
    if (started)
        return;
    vbwHandleException();
    started = true;
}

void vbwHandleException()
{
    ARM_TRAP();
    // Run-time failures are reported in the operator's box. Processor faults are not caught yet.
    ui::installTrapOperator();
}

} // namespace vbwProtector
