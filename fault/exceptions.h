#pragma once
#include <QString>
#include <QtGlobal>

#include "fault/runtimeerror.h"

/// Processor exceptions as the platform publishes them, and the failure each one becomes.
namespace fault {

/// The failure number every processor exception is reported with.
inline constexpr int ExceptionNumber = 65535;

/// The platform's exception record. Only the code and the link are read.
struct ExceptionRecord {
    quint32 ExceptionCode = 0;
    quint32 ExceptionFlags = 0;
    const ExceptionRecord* NestedRecord = nullptr; // null at the end of the chain
    const void* ExceptionAddress = nullptr;
    quint32 NumberParameters = 0;
    quintptr ExceptionInformation[15] = {};
};

/// What the platform hands the filter.
struct ExceptionPointers {
    const ExceptionRecord* Record = nullptr;
    const void* Context = nullptr;
};

/// The exception codes the program names (the platform's published values).
enum ExceptionCode : quint32 {
    GuardPageViolation = 0x80000001,
    DatatypeMisalignment = 0x80000002,
    Breakpoint = 0x80000003,
    SingleStep = 0x80000004,
    AccessViolation = 0xC0000005,
    InPageError = 0xC0000006,
    InvalidHandle = 0xC0000008,
    IllegalInstruction = 0xC000001D,
    NoncontinuableException = 0xC0000025,
    InvalidDisposition = 0xC0000026,
    ArrayBoundsExceeded = 0xC000008C,
    FloatDenormalOperand = 0xC000008D,
    FloatDivideByZero = 0xC000008E,
    FloatInexactResult = 0xC000008F,
    FloatInvalidOperation = 0xC0000090,
    FloatOverflow = 0xC0000091,
    FloatStackCheck = 0xC0000092,
    FloatUnderflow = 0xC0000093,
    IntegerDivideByZero = 0xC0000094,
    IntegerOverflow = 0xC0000095,
    PrivilegedInstruction = 0xC0000096,
    StackOverflow = 0xC00000FD,
    ControlCExit = 0xC000013A,
};

/// The readable name of an exception code; "Unknown Exception" for codes the table lacks.
QString ExceptionText(quint32 code);
/// The same text as a Latin-1 literal, for the signal handler, which may not allocate.
const char* exceptionTextLatin1(quint32 code);

/// The code of the last record of the chain: the exception that was raised while the earlier
/// ones were being dispatched.
quint32 innermostCode(const ExceptionPointers& info);

/// The failure an exception becomes: number 65535, named by the code of the last record of the
/// chain (an exception raised while another was being dispatched links to it).
RuntimeError ExceptionFilter(const ExceptionPointers& info);

#ifndef _WIN32
/// The exception code of a POSIX fault signal: the signal, its si_code, and whether the fault
/// address lies in the stack's guard region. 0 for signals that are not processor faults.
quint32 exceptionCodeOfSignal(int signal, int signalCode, bool inStackGuard);
#endif

} // namespace fault
