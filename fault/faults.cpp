// Processor faults turned into failures of the step that was running.
#include "fault/exceptions.h"
#include "fault/trap.h"

#ifndef _WIN32
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define PLINTOR_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLINTOR_ASAN 1
#endif
#endif
#ifdef PLINTOR_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace fault {

namespace {

Location innermostLocation(bool known)
{
    const Trap* trap = known ? Trap::running() : nullptr;
    return trap ? trap->location() : Location{};
}

} // namespace

#ifndef _WIN32

namespace {

/// The UI thread's signal mask, saved once: the handler puts it back before it jumps, so a step
/// costs no system call.
sigset_t normalMask;
/// Only the UI thread runs procedures; faults on the toolkit's own threads have no location.
constinit thread_local bool onUiThread = false;
/// The UI thread's stack: its lowest address, and the band below it a runaway stack faults in.
char* stackLow = nullptr;
constexpr std::size_t kGuardBand = 1 << 20; // the kernel's gap below a growing stack
/// Where the handler runs, so that a stack overflow can be reported too. Large enough for the
/// report box, which a fault outside every step shows from here.
alignas(16) char alternateStack[1 << 20];

bool inStackGuard(const void* address)
{
    const auto* a = static_cast<const char*>(address);
    return onUiThread && stackLow && a + kGuardBand >= stackLow && a < stackLow + 65536;
}

void put(const char* text) { [[maybe_unused]] auto n = ::write(STDERR_FILENO, text, std::strlen(text)); }

void putNumber(int n)
{
    char digits[16];
    char* p = digits + sizeof digits;
    *--p = '\0';
    do {
        *--p = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    put(p);
}

/// A fault no step can take back: report it under the innermost running procedure and end.
[[noreturn]] void reportAndEnd(quint32 code)
{
    static volatile sig_atomic_t reporting = 0;
    if (reporting) // a fault while reporting one: stderr has it already
        _exit(1);
    reporting = 1;
    const Location at = innermostLocation(onUiThread);
    // Said on stderr first, without allocating, so that it gets out whatever the fault broke.
    put("Error 65535\r\n");
    put(exceptionTextLatin1(code));
    put("\r\nLocation: Plintor");
    if (at.module) {
        put(".");
        put(at.module);
        put(".");
        put(at.procedure);
    }
    put("\r\nLine ");
    putNumber(at.line);
    put("\n");
    // Then in the box. Not safe in general (the fault may have left a lock taken), but the
    // program ends either way and the operator sees why when it works.
    if (onUiThread)
        detail::askOperatorAtEnd(reportText(ExceptionNumber, ExceptionText(code), QString::fromLatin1(at.module),
                                            QString::fromLatin1(at.procedure), at.line));
    _exit(1);
}

void onFault(int signal, siginfo_t* info, void*)
{
    const quint32 code = exceptionCodeOfSignal(signal, info->si_code, inStackGuard(info->si_addr));
    detail::FaultGuard* guard = detail::armedGuard;
    if (!guard)
        reportAndEnd(code);
    guard->code = code;
    pthread_sigmask(SIG_SETMASK, &normalMask, nullptr);
    siglongjmp(guard->landing, 1);
}

} // namespace

void installFaultHandlers()
{
    static bool installed = false;
    if (installed)
        return;
    const auto refuse = [](const char* what) {
        raise(InvalidProcedureCall, QStringLiteral("Cannot install the fault handler (%1): %2")
                                        .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))));
    };
    stack_t alternate{};
    alternate.ss_sp = alternateStack;
    alternate.ss_size = sizeof alternateStack;
    if (sigaltstack(&alternate, nullptr) != 0)
        refuse("sigaltstack");
    pthread_sigmask(SIG_SETMASK, nullptr, &normalMask);
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        void* low = nullptr;
        std::size_t size = 0;
        if (pthread_attr_getstack(&attributes, &low, &size) == 0)
            stackLow = static_cast<char*>(low);
        pthread_attr_destroy(&attributes);
    }
    onUiThread = true;
    struct sigaction action{};
    action.sa_sigaction = onFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP})
        if (sigaction(signal, &action, nullptr) != 0)
            refuse("sigaction");
    installed = true;
}

void detail::FaultGuard::landed()
{
    armedGuard = this;
    runningTrap = trap;
#ifdef PLINTOR_ASAN
    // The jump came from the alternate stack, so the sanitizer did not clear the marks of the
    // frames it skipped; stale marks there would be read as overflows later.
    char here = 0;
    if (onUiThread && stackLow && &here > stackLow)
        __asan_unpoison_memory_region(stackLow, std::size_t(&here - stackLow));
#endif
}

#else // Windows: a vectored handler sends a fault in a step to the step's landing

} // namespace fault

#include <windows.h>
#include <cstddef>
#include <malloc.h>

namespace fault {

namespace {

// The platform's record has this very layout: its chain is followed in place.
static_assert(sizeof(ExceptionRecord) == sizeof(EXCEPTION_RECORD));
static_assert(offsetof(ExceptionRecord, NestedRecord) == offsetof(EXCEPTION_RECORD, ExceptionRecord));

/// Only the UI thread runs procedures; faults on the toolkit's own threads have no location.
DWORD uiThread = 0;

bool onUiThread() { return GetCurrentThreadId() == uiThread; }

ExceptionPointers pointersOf(const EXCEPTION_POINTERS* info)
{
    return {reinterpret_cast<const ExceptionRecord*>(info->ExceptionRecord), info->ContextRecord};
}

/// A processor fault, as opposed to the exceptions software raises to be caught: C++ throws of
/// either compiler and every other code with the customer bit, debug output, thread names.
bool isProcessorFault(DWORD code)
{
    if (code & 0x20000000)
        return false;
    return (code & 0xC0000000) == 0xC0000000 || (code >= GuardPageViolation && code <= SingleStep);
}

/// Where the handler sends the thread: out of the faulting frames, back into the step's guard.
/// Runs on the faulting thread's stack, just below where the fault left it.
[[noreturn]] void landOnArmedGuard() { __builtin_longjmp(detail::armedGuard->landing, 1); }

/// First in line for every exception. Inside a step, the fault becomes the step's failure: the
/// thread goes on at the guard's landing, as the signal handler jumps there on Linux; GCC's C++
/// has no way to catch a structured exception, so the jump is the only road back to the step.
/// Outside every step it is left to the frames' own handlers and then to the filter below.
LONG WINAPI landInStep(EXCEPTION_POINTERS* info)
{
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    detail::FaultGuard* guard = detail::armedGuard;
    if (!guard || !isProcessorFault(code) || !onUiThread())
        return EXCEPTION_CONTINUE_SEARCH;
    guard->code = innermostCode(pointersOf(info));
    CONTEXT* context = info->ContextRecord;
    // A call's frame: 16-byte aligned before the return address, with its 32-byte home area.
    context->Rsp = ((context->Rsp - 128) & ~DWORD64(15)) - 40;
    context->Rip = DWORD64(&landOnArmedGuard);
    return EXCEPTION_CONTINUE_EXECUTION;
}

void put(const char* text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, DWORD(lstrlenA(text)), &written, nullptr);
}

/// The filter that stood before ours (the C runtime's): an uncaught C++ exception of GCC reaches
/// the filter too, and goes on to std::terminate through it.
LPTOP_LEVEL_EXCEPTION_FILTER runtimeFilter = nullptr;

/// Outside every step: report it under the innermost running procedure and end.
LONG WINAPI ExceptionFilterOutsideSteps(EXCEPTION_POINTERS* info)
{
    if (!isProcessorFault(info->ExceptionRecord->ExceptionCode))
        return runtimeFilter ? runtimeFilter(info) : EXCEPTION_CONTINUE_SEARCH;
    static volatile LONG reporting = 0;
    if (InterlockedExchange(&reporting, 1)) // a fault while reporting one: stderr has it already
        TerminateProcess(GetCurrentProcess(), 1);
    const RuntimeError failure = ExceptionFilter(pointersOf(info));
    const Location at = innermostLocation(onUiThread());
    const QByteArray report = reportText(failure.number, failure.description, QString::fromLatin1(at.module),
                                         QString::fromLatin1(at.procedure), at.line)
                                  .toLatin1();
    put(report.constData()); // said on stderr first, in case the box cannot be shown
    put("\n");
    if (onUiThread())
        detail::askOperatorAtEnd(QString::fromLatin1(report));
    TerminateProcess(GetCurrentProcess(), 1);
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void installFaultHandlers()
{
    static bool installed = false;
    if (installed)
        return;
    uiThread = GetCurrentThreadId();
    if (!AddVectoredExceptionHandler(1, landInStep))
        raise(InvalidProcedureCall, QStringLiteral("Cannot install the fault handler (AddVectoredExceptionHandler)"));
    runtimeFilter = SetUnhandledExceptionFilter(ExceptionFilterOutsideSteps);
    installed = true;
}

void detail::FaultGuard::landed()
{
    armedGuard = this;
    runningTrap = trap;
    if (code == StackOverflow)
        _resetstkoflw(); // the guard page back, for the next overflow
}

#endif

} // namespace fault
