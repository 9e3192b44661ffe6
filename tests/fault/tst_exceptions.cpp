// The exception texts, the chain rule of the filter, and which exception each fault signal is.
#include <QTest>
#include <csignal>

#include "fault/exceptions.h"

using namespace fault;

class TestExceptions : public QObject {
    Q_OBJECT
private slots:
    void textOfEveryCode_data()
    {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("text");
        const std::pair<quint32, const char*> table[] = {
            {0x80000001, "Exception: Guard Page"},
            {0x80000002, "Exception: Datatype Misalignment"},
            {0x80000003, "Exception: Breakpoint"},
            {0x80000004, "Exception: Single Step"},
            {0xC0000005, "Exception: Access Violation"},
            {0xC0000006, "Exception: In Page Error"},
            {0xC0000008, "Exception: Invalid Handle"},
            {0xC000001D, "Exception: Illegal Instruction"},
            {0xC0000025, "Exception: Non Continuable Exception"},
            {0xC0000026, "Exception: Invalid Disposition"},
            {0xC000008C, "Exception: Array Bounds Exceeded"},
            {0xC000008D, "Exception: Float Denormal Operand"},
            {0xC000008E, "Exception: Float Divide By Zero"},
            {0xC000008F, "Exception: Float Inexact Result"},
            {0xC0000090, "Exception: Float Invalid Operation"},
            {0xC0000091, "Exception: Float Overflow"},
            {0xC0000092, "Exception: Float Stack Check"},
            {0xC0000093, "Exception: Float Underflow"},
            {0xC0000094, "Exception: Integer Divide By Zero"},
            {0xC0000095, "Exception: Integer Overflow"},
            {0xC0000096, "Exception: Priv Instruction"},
            {0xC00000FD, "Exception: Stack Overflow"},
            {0xC000013A, "Exception: Control C Exit"},
            // The gaps of the table and the ends of the range name nothing.
            {0x80000005, "Unknown Exception"},
            {0xC0000007, "Unknown Exception"},
            {0x00000000, "Unknown Exception"},
            {0xFFFFFFFF, "Unknown Exception"},
        };
        for (const auto& [code, text] : table)
            QTest::addRow("%08X", code) << code << QString::fromLatin1(text);
    }
    void textOfEveryCode()
    {
        QFETCH(quint32, code);
        QFETCH(QString, text);
        QCOMPARE(ExceptionText(code), text);
    }

    void filterNamesTheLastRecordOfTheChain_data()
    {
        QTest::addColumn<QList<quint32>>("chain"); // first record first
        QTest::addColumn<QString>("description");
        QTest::newRow("one record") << QList<quint32>{0xC0000005} << "Exception: Access Violation";
        QTest::newRow("two") << QList<quint32>{0xC0000005, 0xC00000FD} << "Exception: Stack Overflow";
        QTest::newRow("three, last unknown") << QList<quint32>{0xC0000094, 0xC0000005, 0x12345678}
                                             << "Unknown Exception";
    }
    void filterNamesTheLastRecordOfTheChain()
    {
        QFETCH(QList<quint32>, chain);
        QFETCH(QString, description);
        std::vector<ExceptionRecord> records(size_t(chain.size()));
        for (qsizetype i = 0; i < chain.size(); ++i) {
            records[size_t(i)].ExceptionCode = chain[i];
            if (i + 1 < chain.size())
                records[size_t(i)].NestedRecord = &records[size_t(i) + 1];
        }
        const RuntimeError failure = ExceptionFilter({.Record = records.data()});
        QCOMPARE(failure.number, 65535);
        QCOMPARE(failure.description, description);
    }

    void signalsBecomeExceptionCodes_data()
    {
#ifndef Q_OS_WIN
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("signalCode");
        QTest::addColumn<bool>("inStackGuard");
        QTest::addColumn<quint32>("code");
        QTest::newRow("segv") << SIGSEGV << int(SEGV_MAPERR) << false << quint32(AccessViolation);
        QTest::newRow("segv, protection") << SIGSEGV << int(SEGV_ACCERR) << false << quint32(AccessViolation);
        QTest::newRow("segv in the guard") << SIGSEGV << int(SEGV_MAPERR) << true << quint32(StackOverflow);
        QTest::newRow("bus, alignment") << SIGBUS << int(BUS_ADRALN) << false << quint32(DatatypeMisalignment);
        QTest::newRow("bus, object") << SIGBUS << int(BUS_OBJERR) << false << quint32(InPageError);
        QTest::newRow("bus, address") << SIGBUS << int(BUS_ADRERR) << false << quint32(InPageError);
        QTest::newRow("fpe int div") << SIGFPE << int(FPE_INTDIV) << false << quint32(IntegerDivideByZero);
        QTest::newRow("fpe int ovf") << SIGFPE << int(FPE_INTOVF) << false << quint32(IntegerOverflow);
        QTest::newRow("fpe flt div") << SIGFPE << int(FPE_FLTDIV) << false << quint32(FloatDivideByZero);
        QTest::newRow("fpe flt ovf") << SIGFPE << int(FPE_FLTOVF) << false << quint32(FloatOverflow);
        QTest::newRow("fpe flt und") << SIGFPE << int(FPE_FLTUND) << false << quint32(FloatUnderflow);
        QTest::newRow("fpe flt res") << SIGFPE << int(FPE_FLTRES) << false << quint32(FloatInexactResult);
        QTest::newRow("fpe flt inv") << SIGFPE << int(FPE_FLTINV) << false << quint32(FloatInvalidOperation);
        QTest::newRow("fpe flt sub") << SIGFPE << int(FPE_FLTSUB) << false << quint32(ArrayBoundsExceeded);
        QTest::newRow("ill opcode") << SIGILL << int(ILL_ILLOPC) << false << quint32(IllegalInstruction);
        QTest::newRow("ill operand") << SIGILL << int(ILL_ILLOPN) << false << quint32(IllegalInstruction);
        QTest::newRow("ill priv opcode") << SIGILL << int(ILL_PRVOPC) << false << quint32(PrivilegedInstruction);
        QTest::newRow("ill priv register") << SIGILL << int(ILL_PRVREG) << false << quint32(PrivilegedInstruction);
        QTest::newRow("trap brkpt") << SIGTRAP << int(TRAP_BRKPT) << false << quint32(Breakpoint);
        QTest::newRow("trap from int3") << SIGTRAP << int(SI_KERNEL) << false << quint32(Breakpoint);
        QTest::newRow("trap trace") << SIGTRAP << int(TRAP_TRACE) << false << quint32(SingleStep);
        QTest::newRow("not a fault") << SIGTERM << 0 << false << quint32(0);
#endif
    }
    void signalsBecomeExceptionCodes()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows raises the exception codes themselves: there are no fault signals to map");
#else
        QFETCH(int, signal);
        QFETCH(int, signalCode);
        QFETCH(bool, inStackGuard);
        QFETCH(quint32, code);
        QCOMPARE(exceptionCodeOfSignal(signal, signalCode, inStackGuard), code);
#endif
    }
};

QTEST_GUILESS_MAIN(TestExceptions)
#include "tst_exceptions.moc"
