#include "fault/runtimeerror.h"

namespace fault {

void raise(int number, const QString& description) { throw RuntimeError(number, description); }

void raise(const RuntimeError& failure) { throw failure; }

RuntimeError atLine(const RuntimeError& failure, const QString& file, int line)
{
    return RuntimeError(failure.number, QStringLiteral("%1 (%2, line %3)").arg(failure.description, file).arg(line));
}

} // namespace fault
