#pragma once

/// The trap's start-up, once per run.
namespace vbwProtector {

void vbwInitializeProtector();
void vbwHandleException();

} // namespace vbwProtector
