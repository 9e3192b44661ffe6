// Processor faults and escaping failures in trapped procedures, with the main window up (its
// initialize event installs the fault handlers). Runs with the address sanitizer's own fault
// handlers off (ASAN_OPTIONS in tests/CMakeLists.txt): here the program's handler must win.
#include <QProcess>
#include <QTest>

#include "editor_fixture.h"
#include "fault/faulting.h"
#include "fault/trap.h"
#include "ui/dispatch.h"

namespace {

// Procedures of the main window's module, written for the test.
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = 700;

int faultLine = 0; // the line of the step that faulted last
int armLine = 0;   // the line of the trap of the last handler

bool nullWrite()
{
    ARM_TRAP();
    faultLine = LINE_BASE + __LINE__; STEP(writeThroughNull());
    return true; // reached after Ignore
}

bool division()
{
    ARM_TRAP();
    int quotient = 7;
    faultLine = LINE_BASE + __LINE__; STEP(quotient = divideByZero());
    return quotient == 7;
}

bool stackOverflow()
{
    ARM_TRAP();
    faultLine = LINE_BASE + __LINE__; STEP(recurseUntilTheStackEnds(0));
    return true;
}

/// Faults outside its steps: the caller's step is the one that lands.
void unguardedCallee()
{
    ARM_TRAP();
    writeThroughNull();
}

bool callerOfUnguarded()
{
    ARM_TRAP();
    faultLine = LINE_BASE + __LINE__; STEP(unguardedCallee());
    return fault::Trap::running() == &trap_;
}

bool faultingCondition()
{
    ARM_TRAP();
    faultLine = LINE_BASE + __LINE__; if (STEP_IF(divideByZero() == 1)) return true;
    return false;
}

void raisesOutsideSteps()
{
    ARM_TRAP();
    fault::raise(fault::FileNotFound, QStringLiteral("File not found: x"));
}

void cmdTEST_Click(int& runs, bool& finished)
{
    ARM_TRAP(); armLine = LINE_BASE + __LINE__;
    ++runs;
    raisesOutsideSteps();
    finished = true;
}

using Procedure = bool (*)();

QString faultReport(const char* procedure, const char* text, int line)
{
    return QStringLiteral("Error 65535\r\n%1\r\nLocation: Plintor.frmMAIN.%2\r\nLine %3")
        .arg(QLatin1String(text), QLatin1String(procedure))
        .arg(line);
}

} // namespace

Q_DECLARE_METATYPE(Procedure)

class TestFaults : public QObject {
    Q_OBJECT
    EditorFixture fx; // one window for the whole run: its initialize event installs the handlers

    QStringList& reports() { return fx.scope->script.reports; }

private slots:
    void initTestCase()
    {
        fx.setUp();
        fx.start();
        fault::setEnder([] { throw fault::ProgramEnding{}; });
    }
    void init()
    {
        fx.scope.reset();
        fx.scope = std::make_unique<ScriptScope>();
    }
    void cleanupTestCase()
    {
        fx.stop();
        fault::setEnder(nullptr);
    }

    void faultIsReportedAndIgnoreGoesOn_data()
    {
        QTest::addColumn<Procedure>("procedure");
        QTest::addColumn<QString>("procedureName");
        QTest::addColumn<QString>("text");
        QTest::newRow("null write") << &nullWrite << "nullWrite" << "Exception: Access Violation";
        QTest::newRow("integer division by zero") << &division << "division" << "Exception: Integer Divide By Zero";
        QTest::newRow("stack overflow") << &stackOverflow << "stackOverflow" << "Exception: Stack Overflow";
        // A fault outside the callee's steps lands in the step of the caller, which reports it.
        QTest::newRow("in a callee") << &callerOfUnguarded << "callerOfUnguarded" << "Exception: Access Violation";
        // Ignore on a failed condition enters it.
        QTest::newRow("condition") << &faultingCondition << "faultingCondition" << "Exception: Integer Divide By Zero";
    }
    void faultIsReportedAndIgnoreGoesOn()
    {
        QFETCH(Procedure, procedure);
        QFETCH(QString, procedureName);
        QFETCH(QString, text);
        // Twice: the second fault is caught like the first.
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(procedure());
            QCOMPARE(reports().size(), round);
            QCOMPARE(reports().last(), faultReport(qPrintable(procedureName), qPrintable(text), faultLine));
            QVERIFY(!fault::Trap::running());
        }
    }

    void retryRunsTheFaultingStepAgain()
    {
        fx.scope->script.errorAnswers = {fault::Answer::Retry, fault::Answer::Retry};
        int runs = 0;
        ARM_TRAP();
        const bool ranThrough = STEP(if (++runs < 3) writeThroughNull());
        QVERIFY(ranThrough);
        QCOMPARE(runs, 3);
        QCOMPARE(reports().size(), 2);
    }

    void abortAfterAFaultEnds()
    {
        fx.scope->script.errorAnswers = {fault::Answer::Abort};
        QVERIFY_THROWS_EXCEPTION(fault::ProgramEnding, division());
        QVERIFY(!fault::Trap::running());
    }

    void failureLeavingAHandlerIsReportedUnderIt()
    {
        fx.scope->script.errorAnswers = {fault::Answer::Retry, fault::Answer::Ignore};
        int runs = 0;
        bool finished = false;
        ui::dispatch([&] { cmdTEST_Click(runs, finished); });
        QCOMPARE(runs, 2);
        QVERIFY(!finished);
        QCOMPARE(reports().size(), 2);
        QCOMPARE(reports()[0], QStringLiteral("Error 53\r\nFile not found: x\r\nLocation: Plintor.frmMAIN.cmdTEST_Click\r\n"
                                              "Line %1").arg(armLine));
        QCOMPARE(reports()[1], reports()[0]);

        fx.scope->script.errorAnswers = {fault::Answer::Abort};
        QVERIFY_THROWS_EXCEPTION(fault::ProgramEnding, ui::dispatch([&] { cmdTEST_Click(runs, finished); }));
        QCOMPARE(reports().size(), 3);
    }

    void faultWithoutAGuardIsReportedBeforeTheEnd_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("location");
        QTest::newRow("unguarded statement") << "handler" << "Location: Plintor.frmMAIN.cmdTEST_Click\r\nLine ";
        QTest::newRow("handler raised in a step") << "nested" << "Location: Plintor.frmMAIN.cmdTEST_Click\r\nLine ";
        QTest::newRow("toolkit") << "toolkit" << "Location: Plintor\r\nLine 0";
    }
    void faultWithoutAGuardIsReportedBeforeTheEnd()
    {
        QFETCH(QString, where);
        QFETCH(QString, location);
        QProcess helper;
        helper.start(QStringLiteral(FAULT_HELPER), {where, fx.home.filePath(QStringLiteral("data"))});
        QVERIFY(helper.waitForFinished(30000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 1);
        const QString out = QString::fromLocal8Bit(helper.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(helper.readAllStandardError());
        const QString report = QStringLiteral("Error 65535\r\nException: Access Violation\r\n") + location;
        QVERIFY2(out.startsWith(QStringLiteral("box:") + report), qPrintable(out + err)); // asked in the box
        QVERIFY2(err.contains(report), qPrintable(err)); // and said on stderr before that
        QVERIFY(!out.contains(QStringLiteral("survived")));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
