#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>
#include <exception>
#include <functional>
#ifndef _WIN32
#include <csetjmp>
#endif

#include "fault/linebases.h"
#include "fault/runtimeerror.h"

namespace fault {

/// The operator's answer to the error report.
enum class Answer { Abort, Retry, Ignore };

/// The four-line report: "Error " n, description, "Location: Plintor." module "." procedure, "Line " n.
/// Without a module (a fault outside every procedure) the location is "Plintor" alone.
QString reportText(int number, const QString& description, const QString& module,
                   const QString& procedure, int line);

/// Who answers the report. The window layer installs the message box; tests install a script.
using Operator = std::function<Answer(const QString& report)>;
void setOperator(Operator op);

/// Passes through every trap untouched: an Ender that cannot end the process (a test's) throws it.
struct ProgramEnding {};

/// What Abort does: end the program at once. Replaceable for tests of pure procedures.
using Ender = std::function<void()>;
void setEnder(Ender ender);

/// Turns processor faults into failures of the step that was running. Once per run; a failure
/// to install raises a run-time failure.
void installFaultHandlers();

class Trap;

/// Where a failure is reported from: a procedure and one of its lines.
struct Location {
    const char* module = nullptr;
    const char* procedure = nullptr;
    int line = 0;
};

namespace detail {

/// A step's landing place for a processor fault, armed while the step's statement runs.
struct FaultGuard {
#ifndef _WIN32
    sigjmp_buf landing;
#else
    void* landing[5]; // __builtin_setjmp's buffer: no unwinding, as siglongjmp
#endif
    FaultGuard* outer;
    const Trap* trap; // the innermost running procedure when armed
    volatile quint32 code = 0; // written by the fault handler before it jumps here
    FaultGuard();
    ~FaultGuard();
    /// Back from the fault: the procedures and steps the fault cut short are no longer running.
    void landed();
};

inline constinit thread_local FaultGuard* armedGuard = nullptr;
inline constinit thread_local const Trap* runningTrap = nullptr;

/// Asks the operator about a fault nothing can go on after; the answer changes nothing.
void askOperatorAtEnd(const QString& report);

inline FaultGuard::FaultGuard() : outer(armedGuard), trap(runningTrap) { armedGuard = this; }
inline FaultGuard::~FaultGuard() { armedGuard = outer; }

/// Runs the statement with a landing armed; the fault's exception code, or 0 when it ran through.
/// Out of line so that the jump back restores this frame only: the procedure's own locals live
/// in its frame, reached through the statement's references, and keep what the statement wrote.
/// A fault skips the destructors of what the statement had under way: its temporaries and the
/// locals of the procedures it called. Their loss is harmless: memory, at worst a file handle of
/// a callee, is not given back; the program holds no lock across a statement on its one thread;
/// the traps and guards of the cut-short procedures are unlinked by landed(). Modal boxes and
/// handlers disarm the guards around them (FaultGuardsOff), so no fault jumps across frames of
/// the toolkit.
template <class F> [[gnu::noinline]] quint32 runGuarded(F& statement)
{
    FaultGuard guard;
#ifndef _WIN32
    if (sigsetjmp(guard.landing, 0) != 0) { // the mask is restored by the handler, from one saved copy
        guard.landed();
        return guard.code;
    }
#else
    if (__builtin_setjmp(guard.landing) != 0) {
        guard.landed();
        return guard.code;
    }
#endif
    statement();
    return 0;
}

} // namespace detail

/// No fault lands in the steps running outside this scope while it lives: for modal boxes and
/// handlers, which the toolkit runs inside frames of its own that must not be jumped out of.
class FaultGuardsOff {
public:
    FaultGuardsOff() : suspended_(detail::armedGuard) { detail::armedGuard = nullptr; }
    ~FaultGuardsOff() { detail::armedGuard = suspended_; }
    FaultGuardsOff(const FaultGuardsOff&) = delete;
    FaultGuardsOff& operator=(const FaultGuardsOff&) = delete;

private:
    detail::FaultGuard* suspended_;
};

/// The trap one procedure arms as its first statement. Each statement that can fail runs as a
/// step: a failure (a C++ exception or a processor fault) shows the report; Retry runs the step
/// again, Ignore goes on after it.
class Trap {
public:
    Trap(const char* module, const char* procedure, int line = 0)
        : module_(module), procedure_(procedure), line_(line), outer_(detail::runningTrap),
          uncaught_(std::uncaught_exceptions())
    {
        detail::runningTrap = this;
    }
    ~Trap()
    {
        if (std::uncaught_exceptions() > uncaught_)
            noteEscape();
        detail::runningTrap = outer_;
    }
    Trap(const Trap&) = delete;
    Trap& operator=(const Trap&) = delete;

    /// True when the statement ran to its end; false when the operator chose Ignore.
    template <class F> bool step(int line, F&& statement) const
    {
        for (;;) {
            quint32 code = 0;
            try {
                code = detail::runGuarded(statement);
            } catch (const ProgramEnding&) {
                throw;
            } catch (...) {
                if (fail(line) != Answer::Retry)
                    return false;
                continue;
            }
            if (code == 0)
                return true;
            if (faulted(line, code) != Answer::Retry)
                return false;
        }
    }

    /// The head of a conditional or loop, as a step: a condition that fails and is ignored
    /// counts as true, so Ignore enters.
    template <class F> bool test(int line, F&& condition) const
    {
        bool result = true;
        step(line, [&] { result = condition(); });
        return result;
    }

    /// Each failure a pure reader collected, in its order, as a step of its own: Retry reports it
    /// again, Ignore goes on to the next.
    void stepFailures(int line, const QList<RuntimeError>& failures) const
    {
        for (const RuntimeError& failure : failures)
            step(line, [&] { raise(failure); });
    }

    /// The procedure and the line that armed the trap: where failures outside its steps are reported.
    Location location() const { return {module_, procedure_, line_}; }
    /// The trap of the innermost procedure running on this thread, or null.
    static const Trap* running() { return detail::runningTrap; }
    /// The trap of the procedure that called a helper: the helper's steps are that procedure's,
    /// and a report names it.
    static const Trap& caller()
    {
        Q_ASSERT(detail::runningTrap);
        return *detail::runningTrap;
    }

private:
    Answer fail(int line) const; // called inside a catch block: reads the current exception
    Answer faulted(int line, quint32 code) const;
    void noteEscape() const;
    const char* module_;
    const char* procedure_;
    int line_;
    const Trap* outer_;
    int uncaught_;
};

/// Runs statement and lets a failure of it pass without a report: for the few statements whose
/// failure is expected and harmless (a file to delete that is already gone). True when it ran
/// to its end.
template <class F> bool ignoringFailure(F&& statement)
{
    try {
        statement();
        return true;
    } catch (const ProgramEnding&) {
        throw;
    } catch (const RuntimeError&) {
        return false;
    }
}

/// Reports a failure that left a handler outside every step (called inside a catch block):
/// under the location of the outermost procedure it left, or else of the innermost still
/// running. Abort ends the program.
Answer reportEscaped();

/// Forgets where the last escaping failure came from: before and after each handler.
void clearEscape();

} // namespace fault

// Every trapped file defines kModule (the module's name) and LINE_BASE (from linebases.h).
#define ARM_TRAP() [[maybe_unused]] ::fault::Trap trap_(kModule, __func__, LINE_BASE + __LINE__)
// A helper that carries no trap of its own runs its steps under its caller's.
#define CALLERS_TRAP() [[maybe_unused]] const ::fault::Trap& trap_ = ::fault::Trap::caller()
#define STEP(...) trap_.step(LINE_BASE + __LINE__, [&]() { __VA_ARGS__; })
#define STEP_IF(...) trap_.test(LINE_BASE + __LINE__, [&]() -> bool { return (__VA_ARGS__); })
// The failures a pure reader returned, reported as the steps of this line.
#define STEP_FAILURES(...) trap_.stepFailures(LINE_BASE + __LINE__, __VA_ARGS__)
