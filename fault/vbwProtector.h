#pragma once

/// The trap's start-up, once per run.
namespace fault::vbwProtector {

void vbwInitializeProtector();
void vbwHandleException();

} // namespace fault::vbwProtector
