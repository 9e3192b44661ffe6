#include <QTest>

#include "failure.h"
#include "fault/runtimeerror.h"
#include "project/convert.h"

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void toInteger16_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("failure");
        QTest::newRow("plain") << "20" << 20 << 0;
        QTest::newRow("blanks around") << "  7 " << 7 << 0;
        QTest::newRow("negative") << "-32768" << -32768 << 0;
        QTest::newRow("half to even down") << "2.5" << 2 << 0;
        QTest::newRow("half to even up") << "3.5" << 4 << 0;
        QTest::newRow("fraction") << "1.6" << 2 << 0;
        QTest::newRow("too large") << "32768" << 0 << int(fault::Overflow);
        QTest::newRow("too small") << "-32769" << 0 << int(fault::Overflow);
        QTest::newRow("leading zeros, sign") << "+00042" << 42 << 0;
        QTest::newRow("sign alone") << "-" << 0 << int(fault::TypeMismatch);
        QTest::newRow("six digits") << "100000" << 0 << int(fault::Overflow);
        QTest::newRow("empty") << "" << 0 << int(fault::TypeMismatch);
        QTest::newRow("word") << "ten" << 0 << int(fault::TypeMismatch);
        QTest::newRow("inner blank") << "1 0" << 0 << int(fault::TypeMismatch);
    }
    void toInteger16()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, failure);
        short got = 0;
        QCOMPARE(failureNumber([&] { got = project::convert::toInteger16(text); }), failure);
        if (!failure)
            QCOMPARE(int(got), value);
    }

    void cuts()
    {
        QCOMPARE(project::convert::cut(QString(), QLatin1Char(':')).size(), 0);
        QCOMPARE(project::convert::cut(QStringLiteral("A:b:c"), QLatin1Char(':')).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
