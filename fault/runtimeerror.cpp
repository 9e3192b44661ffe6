#include "fault/runtimeerror.h"

namespace fault {

void raise(int number, const QString& description) { throw RuntimeError(number, description); }

} // namespace fault
