#pragma once
#include <QString>
#include <functional>

#include "fault/linebases.h"
#include "fault/runtimeerror.h"

namespace fault {

/// The operator's answer to the error report.
enum class Answer { Abort, Retry, Ignore };

/// The four-line report: "Error " n, description, "Location: Plintor." module "." procedure, "Line " n.
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

/// The trap one procedure arms as its first statement. Each statement that can fail runs as a
/// step: a failure shows the report; Retry runs the step again, Ignore goes on after it.
class Trap {
public:
    Trap(const char* module, const char* procedure) : module_(module), procedure_(procedure) {}

    /// True when the statement ran to its end; false when the operator chose Ignore.
    template <class F> bool step(int line, F&& statement)
    {
        for (;;) {
            try {
                statement();
                return true;
            } catch (const ProgramEnding&) {
                throw;
            } catch (...) {
                if (fail(line) != Answer::Retry)
                    return false;
            }
        }
    }

    /// The head of a conditional or loop. Ignore enters it.
    template <class F> bool test(int line, F&& condition)
    {
        for (;;) {
            try {
                return condition();
            } catch (const ProgramEnding&) {
                throw;
            } catch (...) {
                if (fail(line) != Answer::Retry)
                    return true;
            }
        }
    }

private:
    Answer fail(int line); // called inside a catch block: reads the current exception
    const char* module_;
    const char* procedure_;
};

} // namespace fault

// Every trapped file defines kModule (the module's name) and LINE_BASE (from linebases.h).
#define ARM_TRAP() [[maybe_unused]] ::fault::Trap trap_(kModule, __func__)
#define STEP(...) trap_.step(LINE_BASE + __LINE__, [&]() { __VA_ARGS__; })
#define STEP_IF(...) trap_.test(LINE_BASE + __LINE__, [&]() -> bool { return (__VA_ARGS__); })
