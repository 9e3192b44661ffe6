#include "fault/trap.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

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

} // namespace

QString reportText(int number, const QString& description, const QString& module,
                   const QString& procedure, int line)
{
    // One substitution pass: a description holds paths and the operator's text, "%1" included.
    return QStringLiteral("Error %1\r\n%2\r\nLocation: Plintor.%3.%4\r\nLine %5")
        .arg(QString::number(number), description, module, procedure, QString::number(line));
}

void setOperator(Operator op) { theOperator() = op ? std::move(op) : Operator(answerOnStderr); }

void setEnder(Ender ender)
{
    theEnder() = ender ? std::move(ender) : Ender([] { std::_Exit(1); });
}

Answer Trap::fail(int line)
{
    int number = InvalidProcedureCall;
    QString description;
    try {
        throw;
    } catch (const RuntimeError& e) {
        number = e.number;
        description = e.description;
    } catch (const std::bad_alloc&) {
        number = OutOfMemory;
        description = QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    } catch (...) {
        description = QStringLiteral("Invalid procedure call or argument");
    }
    const Answer answer = theOperator()(reportText(number, description, QString::fromLatin1(module_),
                                                   QString::fromLatin1(procedure_), line));
    if (answer == Answer::Abort)
        theEnder()();
    return answer;
}

} // namespace fault
