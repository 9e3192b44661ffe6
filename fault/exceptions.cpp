#include "fault/exceptions.h"

#ifndef _WIN32
#include <csignal>
#endif

namespace fault {

const char* exceptionTextLatin1(quint32 code)
{
    switch (code) {
    case GuardPageViolation: return "Exception: Guard Page";
    case DatatypeMisalignment: return "Exception: Datatype Misalignment";
    case Breakpoint: return "Exception: Breakpoint";
    case SingleStep: return "Exception: Single Step";
    case AccessViolation: return "Exception: Access Violation";
    case InPageError: return "Exception: In Page Error";
    case InvalidHandle: return "Exception: Invalid Handle";
    case IllegalInstruction: return "Exception: Illegal Instruction";
    case NoncontinuableException: return "Exception: Non Continuable Exception";
    case InvalidDisposition: return "Exception: Invalid Disposition";
    case ArrayBoundsExceeded: return "Exception: Array Bounds Exceeded";
    case FloatDenormalOperand: return "Exception: Float Denormal Operand";
    case FloatDivideByZero: return "Exception: Float Divide By Zero";
    case FloatInexactResult: return "Exception: Float Inexact Result";
    case FloatInvalidOperation: return "Exception: Float Invalid Operation";
    case FloatOverflow: return "Exception: Float Overflow";
    case FloatStackCheck: return "Exception: Float Stack Check";
    case FloatUnderflow: return "Exception: Float Underflow";
    case IntegerDivideByZero: return "Exception: Integer Divide By Zero";
    case IntegerOverflow: return "Exception: Integer Overflow";
    case PrivilegedInstruction: return "Exception: Priv Instruction";
    case StackOverflow: return "Exception: Stack Overflow";
    case ControlCExit: return "Exception: Control C Exit";
    }
    return "Unknown Exception";
}

QString ExceptionText(quint32 code) { return QString::fromLatin1(exceptionTextLatin1(code)); }

quint32 innermostCode(const ExceptionPointers& info)
{
    const ExceptionRecord* record = info.Record;
    while (record->NestedRecord)
        record = record->NestedRecord;
    return record->ExceptionCode;
}

RuntimeError ExceptionFilter(const ExceptionPointers& info)
{
    return RuntimeError(ExceptionNumber, ExceptionText(innermostCode(info)));
}

#ifndef _WIN32
quint32 exceptionCodeOfSignal(int signal, int signalCode, bool inStackGuard)
{
    switch (signal) {
    case SIGSEGV:
        return inStackGuard ? StackOverflow : AccessViolation;
    case SIGBUS:
        return signalCode == BUS_ADRALN ? DatatypeMisalignment : InPageError;
    case SIGILL:
        return signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG ? PrivilegedInstruction : IllegalInstruction;
    case SIGTRAP:
        // x86 reports int3 as a kernel-sent trap, not TRAP_BRKPT: anything but a trace is a breakpoint.
        return signalCode == TRAP_TRACE ? SingleStep : Breakpoint;
    case SIGFPE:
        switch (signalCode) {
        case FPE_INTDIV: return IntegerDivideByZero;
        case FPE_INTOVF: return IntegerOverflow;
        case FPE_FLTDIV: return FloatDivideByZero;
        case FPE_FLTOVF: return FloatOverflow;
        case FPE_FLTUND: return FloatUnderflow;
        case FPE_FLTRES: return FloatInexactResult;
        case FPE_FLTINV: return FloatInvalidOperation;
        case FPE_FLTSUB: return ArrayBoundsExceeded;
        }
        return FloatInvalidOperation; // an undiagnosed float trap

    }
    return 0;
}
#endif

} // namespace fault
