#include <QTest>
#include <deque>

#include "fault/trap.h"

namespace {

// Two procedures of a module of the test's own, so reports name them.
constexpr const char* kModule = "mTEST";
constexpr int LINE_BASE = 500;

std::deque<fault::Answer> answers;
QStringList reports;

fault::Answer scripted(const QString& report)
{
    reports.append(report);
    const fault::Answer a = answers.empty() ? fault::Answer::Ignore : answers.front();
    if (!answers.empty())
        answers.pop_front();
    return a;
}

int failingCallee(int& runs)
{
    ARM_TRAP();
    int result = 1;
    STEP(++runs; fault::raise(fault::FileNotFound, QStringLiteral("File not found: x")));
    result = 2; // reached after Ignore
    return result;
}

int callsCallee(int& runs, int& after)
{
    ARM_TRAP();
    int value = 0;
    STEP(value = failingCallee(runs));
    after = 1;
    return value;
}

bool enteredOnIgnore()
{
    ARM_TRAP();
    bool entered = false;
    if (STEP_IF(fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range")), false))
        entered = true;
    return entered;
}

int reportsCollected(const QList<fault::RuntimeError>& failures)
{
    ARM_TRAP();
    STEP_FAILURES(failures);
    return 1; // reached once every failure is answered
}

int lineOf(const QString& report) { return report.section(QStringLiteral("\r\n"), 3).mid(5).toInt(); }

} // namespace

class TestTrap : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        answers.clear();
        reports.clear();
        fault::setOperator(scripted);
        fault::setEnder([] { throw fault::ProgramEnding{}; });
    }
    void cleanupTestCase()
    {
        fault::setOperator(nullptr);
        fault::setEnder(nullptr);
    }

    void reportIsFourLinesWithoutFinalLineEnd()
    {
        QCOMPARE(fault::reportText(53, QStringLiteral("File not found: /p/playlist.dat"), QStringLiteral("mGENERAL"),
                                   QStringLiteral("LOADPLAYLIST"), 10042),
                 QStringLiteral("Error 53\r\nFile not found: /p/playlist.dat\r\nLocation: Plintor.mGENERAL.LOADPLAYLIST\r\n"
                                "Line 10042"));
        // A description is text, "%1" included: nothing is substituted into it.
        QCOMPARE(fault::reportText(53, QStringLiteral("File not found: /p/10%1"), QStringLiteral("m"), QStringLiteral("p"), 7),
                 QStringLiteral("Error 53\r\nFile not found: /p/10%1\r\nLocation: Plintor.m.p\r\nLine 7"));
    }

    void retryRunsTheStatementAgainUntilAnotherAnswer()
    {
        answers = {fault::Answer::Retry, fault::Answer::Retry, fault::Answer::Ignore};
        int runs = 0;
        int after = 0;
        const int value = callsCallee(runs, after);
        QCOMPARE(runs, 3);
        QCOMPARE(reports.size(), 3);
        QCOMPARE(reports[0], reports[2]); // the same report each time
        // The callee reports itself; the caller goes on normally with the callee's result.
        QVERIFY(reports[0].contains(QStringLiteral("Location: Plintor.mTEST.failingCallee")));
        QVERIFY(reports[0].startsWith(QStringLiteral("Error 53\r\nFile not found: x\r\n")));
        QCOMPARE(value, 2);
        QCOMPARE(after, 1);
    }

    void linesRunUpwardInSourceOrder()
    {
        int runs = 0;
        int after = 0;
        callsCallee(runs, after);
        enteredOnIgnore();
        QCOMPARE(reports.size(), 2);
        QVERIFY(lineOf(reports[0]) > LINE_BASE);
        QVERIFY(lineOf(reports[1]) > lineOf(reports[0]));
    }

    void collectedFailuresAreReportedInTheirOrder()
    {
        answers = {fault::Answer::Retry, fault::Answer::Ignore};
        const QList<fault::RuntimeError> failures{{fault::TypeMismatch, QStringLiteral("Type mismatch: a")},
                                                  {fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: b")}};
        QCOMPARE(reportsCollected(failures), 1);
        QCOMPARE(reports.size(), 3);
        QCOMPARE(reports[0], reports[1]); // Retry reports the same failure again
        QVERIFY(reports[0].startsWith(QStringLiteral("Error 13\r\nType mismatch: a\r\n")));
        QVERIFY(reports[2].startsWith(QStringLiteral("Error 9\r\nSubscript out of range: b\r\n")));
    }

    void ignoreOnAFailedConditionEntersIt() { QVERIFY(enteredOnIgnore()); }

    void abortEndsAtOnce()
    {
        answers = {fault::Answer::Abort};
        int runs = 0;
        int after = 0;
        QVERIFY_THROWS_EXCEPTION(fault::ProgramEnding, callsCallee(runs, after));
        QCOMPARE(runs, 1);
        QCOMPARE(after, 0);
    }

    void foreignExceptionsBecomeFailures()
    {
        ARM_TRAP();
        STEP(throw std::bad_alloc());
        STEP(throw std::runtime_error("boom"));
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].startsWith(QStringLiteral("Error 7\r\nOut of memory\r\n")));
        QVERIFY(reports[1].startsWith(QStringLiteral("Error 5\r\nboom\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestTrap)
#include "tst_trap.moc"
