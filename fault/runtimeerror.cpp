#include "fault/runtimeerror.h"

namespace fault {

void raise(int number, const QString& description) { throw RuntimeError(number, description); }

void raise(const RuntimeError& failure) { throw failure; }

} // namespace fault
