#include "fault/trap.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "fault/exceptions.h"

namespace fault {

namespace {

Answer answerOnStderr(const QString& report)
{
    // No window to ask: say it and end, as Abort would.
    std::fprintf(stderr, "%s\n", report.toLocal8Bit().constData());
    return Answer::Abort;
}

Operator& theOperator()
{
    static Operator op = answerOnStderr;
    return op;
}

Ender& theEnder()
{
    static Ender ender = [] { std::_Exit(1); };
    return ender;
}

/// Where the last failure that left a procedure outside its steps came from: the outermost
/// procedure it left, since the traps of the procedures it passes note it in turn.
Location escape;

RuntimeError currentFailure()
{
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(OutOfMemory, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        return RuntimeError(InvalidProcedureCall, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return RuntimeError(InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
    }
}

Answer report(const RuntimeError& failure, const Location& at)
{
    const Answer answer = theOperator()(reportText(failure.number, failure.description,
                                                   QString::fromLatin1(at.module), QString::fromLatin1(at.procedure),
                                                   at.line));
    if (answer == Answer::Abort)
        theEnder()();
    return answer;
}

} // namespace

QString reportText(int number, const QString& description, const QString& module,
                   const QString& procedure, int line)
{
    // One substitution pass: a description holds paths and the operator's text, "%1" included.
    const QString location = module.isEmpty() ? QStringLiteral("Plintor")
                                              : QStringLiteral("Plintor.") + module + QLatin1Char('.') + procedure;
    return QStringLiteral("Error %1\r\n%2\r\nLocation: %3\r\nLine %4")
        .arg(QString::number(number), description, location, QString::number(line));
}

void setOperator(Operator op) { theOperator() = op ? std::move(op) : Operator(answerOnStderr); }

void setEnder(Ender ender)
{
    theEnder() = ender ? std::move(ender) : Ender([] { std::_Exit(1); });
}

void detail::askOperatorAtEnd(const QString& report) { theOperator()(report); }

Answer Trap::fail(int line) const
{
    escape = {}; // caught here: it no longer leaves anything
    return report(currentFailure(), {module_, procedure_, line});
}

Answer Trap::faulted(int line, quint32 code) const
{
    const ExceptionRecord record{.ExceptionCode = code};
    return report(ExceptionFilter({.Record = &record}), {module_, procedure_, line});
}

void Trap::noteEscape() const { escape = location(); }

Answer reportEscaped()
{
    Location at = escape;
    if (!at.module && Trap::running())
        at = Trap::running()->location();
    escape = {};
    return report(currentFailure(), at);
}

void clearEscape() { escape = {}; }

} // namespace fault
