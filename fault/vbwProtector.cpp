#include "fault/vbwProtector.h"

#include "fault/trap.h"

namespace fault::vbwProtector {

namespace {
constexpr const char* kModule = "vbwProtector";
constexpr int LINE_BASE = fault::linebase::vbwProtector;
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
    // Processor faults become failures of the step that was running (65535 and the exception's name).
    STEP(fault::installFaultHandlers());
}

} // namespace fault::vbwProtector
