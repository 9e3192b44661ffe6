// The server link alone against a real TCP server on the loopback interface.
#include <QTest>

#include "failure.h"
#include "fault/runtimeerror.h"
#include "recorder.h"
#include "server/link.h"

using server::Answer;
Q_DECLARE_METATYPE(QList<Answer>)

namespace {
Answer answer(int code, const QByteArray& status, QList<QByteArray> data = {}, bool cut = false)
{
    return Answer{code, status, std::move(data), cut};
}
// What the reader makes of bytes fed in pieces of `piece` bytes.
QList<Answer> read(const QByteArray& bytes, qsizetype piece)
{
    server::AnswerReader reader;
    QList<Answer> out;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        out += reader.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    return out;
}
} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void answersAreFramedHoweverTheyArrive_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<Answer>>("answers");
        const QByteArray longLine(server::AnswerReader::kMaxLine + 1, 'x');
        QTest::newRow("plain") << QByteArray("202 CG OK\r\n202 CLEAR OK\r\n")
                               << QList<Answer>{answer(202, "202 CG OK"), answer(202, "202 CLEAR OK")};
        QTest::newRow("201 and 200") << QByteArray("201 INFO OK\r\none line\r\n200 TLS OK\r\na\r\nb c\r\n\r\n404 CG ADD FAILED\r\n")
                                     << QList<Answer>{answer(201, "201 INFO OK", {"one line"}),
                                                      answer(200, "200 TLS OK", {"a", "b c"}),
                                                      answer(404, "404 CG ADD FAILED")};
        QTest::newRow("400 echoes") << QByteArray("400 ERROR\r\nCG 1-20 INVOKE 1 \"\r\n")
                                    << QList<Answer>{answer(400, "400 ERROR", {"CG 1-20 INVOKE 1 \""})};
        QTest::newRow("garbage skipped") << QByteArray("hello\r\n\r\n20 X\r\n2020 X\r\n503\r\n")
                                         << QList<Answer>{answer(503, "503")};
        QTest::newRow("over-long lines") << QByteArray(longLine + "\r\n201 INFO OK\r\n" + longLine + "\r\n200 X OK\r\na\r\n" +
                                                       longLine + "\r\n\r\n")
                                         << QList<Answer>{answer(201, "201 INFO OK", {}, true),
                                                          answer(200, "200 X OK", {"a"}, true)};
        QTest::newRow("unfinished") << QByteArray("202 CG OK\r\n201 INFO OK\r\n") << QList<Answer>{answer(202, "202 CG OK")};
    }
    void answersAreFramedHoweverTheyArrive()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<Answer>, answers);
        for (qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(7), bytes.size()})
            QCOMPARE(read(bytes, piece), answers);
        QVERIFY(answers.value(0).refusal() == (answers.value(0).code >= 400));
    }

    // A script of lines sent ("> ticket line") and answers come ("< status | echo = ticket tied").
    void answersAreMatchedOnlyWhenCertain_data()
    {
        QTest::addColumn<QStringList>("script");
        using L = QStringList;
        QTest::newRow("nothing in flight") << L{"< 202 CG OK = 0"};
        QTest::newRow("the one line in flight") << L{"> 1 CG 1-20 ADD 1 \"a\"", "< 404 PLAY FAILED = 1"};
        QTest::newRow("a 400 by its echo, one of its word, then the last")
            << L{"> 2 CG 1-20 UPDATE 1 \"x\"", "> 3 CLEAR 1", "> 4 CG 1-20 INVOKE 1 \"",
                 "< 400 ERROR | CG 1-20 INVOKE 1 \" = 4", "< 202 clear OK = 3", "< 202 CG OK = 2"};
        // Two channel queues answer out of order: the preview's accept first, then the logo's failure.
        QTest::newRow("out of order across channels: nothing tied")
            << L{"> 1 CG 1-30 ADD 1 \"logo\"", "> 2 CG 2-20 ADD 1 \"third\"", "< 202 CG OK = 0",
                 "< 404 CG ADD FAILED = 0", "> 3 CG 1-30 ADD 1 \"logo\"", "< 404 CG ADD FAILED = 3"};
        QTest::newRow("after an unplaced answer only echoes, until all are answered")
            << L{"> 1 CG 1-20 ADD 1 \"a\"", "> 2 CG 1-20 ADD 1 \"b\"", "> 3 CLEAR 2", "< 202 CG OK = 0",
                 "< 202 CLEAR OK = 0", "< 400 ERROR | CG 1-20 ADD 1 \"b\" = 2", "> 4 PLAY 1", "< 404 PLAY FAILED = 4"};
        QTest::newRow("an echo nobody sent") << L{"> 6 PLAY 1", "> 7 PLAY 2", "< 400 ERROR | LOAD 1 = 0",
                                                  "< 202 PLAY OK = 0", "> 8 LOAD 1", "< 202 LOAD OK = 8"};
    }
    void answersAreMatchedOnlyWhenCertain()
    {
        QFETCH(QStringList, script);
        server::LinesInFlight lines;
        for (const QString& step : script) {
            const QByteArray text = step.mid(2).toUtf8();
            if (step.startsWith('>')) {
                const qsizetype space = text.indexOf(' ');
                lines.sent(text.left(space).toULongLong(), text.mid(space + 1) + "\r\n");
                continue;
            }
            const qsizetype is = text.lastIndexOf(" = ");
            const QList<QByteArray> parts = text.left(is).split('|');
            const QByteArray status = parts[0].trimmed();
            QList<QByteArray> data;
            if (parts.size() > 1)
                data << parts[1].mid(1);
            QByteArray line;
            const quint64 tied = lines.answered(answer(status.left(3).toInt(), status, data), &line);
            QVERIFY2(tied == text.mid(is + 3).toULongLong(), step.toUtf8());
            QVERIFY(tied != 0 || line.isEmpty());
        }
    }
    void linesInFlightAndAnswersAreBounded()
    {
        server::LinesInFlight lines;
        for (quint64 t = 0; t < server::LinesInFlight::kMaxLines + 5; ++t)
            lines.sent(t, "X\r\n");
        QCOMPARE(lines.size(), server::LinesInFlight::kMaxLines);
        // A 200 that never ends keeps a bounded start of its data and still frames what follows.
        server::AnswerReader reader;
        QCOMPARE(reader.feed("200 DATA RETRIEVE OK\r\n").size(), 0);
        const QByteArray block = QByteArray(1000, 'd') + "\r\n";
        for (int i = 0; i < 5000; ++i)
            QCOMPARE(reader.feed(block).size(), 0);
        const QList<Answer> out = reader.feed("\r\n202 CG OK\r\n");
        QCOMPARE(out.size(), 2);
        QCOMPARE(out[0].data.size(), server::AnswerReader::kMaxDataBytes / 1000);
        QCOMPARE(out[0].dropped, 5000 - out[0].data.size());
        QCOMPARE(out[1].status, QByteArray("202 CG OK"));
    }

    void theLinkReportsEachAnswerWithItsLine()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        QList<std::pair<quint64, QByteArray>> seen;
        QObject::connect(&link, &server::Link::answered, [&](const Answer& a, quint64 ticket, const QByteArray& line) {
            seen.append({ticket, a.status + " / " + line});
        });
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        QCOMPARE(link.host() + ':' + QString::number(link.port()), "127.0.0.1:" + r.port());
        QTRY_COMPARE(r.peers.size(), 1);
        const quint64 first = link.SendData("CG 1-20 ADD 1 \"a\"\r\n");
        QTRY_VERIFY(!r.all().isEmpty());
        r.peers[0]->write("40");
        QTest::qWait(20);
        r.peers[0]->write("4 CG ADD FAILED\r\n");
        QTRY_COMPARE(seen.size(), 1);
        QCOMPARE(seen[0], std::make_pair(first, QByteArray("404 CG ADD FAILED / CG 1-20 ADD 1 \"a\"")));
    }

    void theLinkSendsExactBytesAndReadsWhatComesBack()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        QCOMPARE(link.State(), int(server::Link::Closed));
        link.Connect(QStringLiteral("127.0.0.1"), QStringLiteral(" ") + r.port() + QStringLiteral("\t"));
        QVERIFY(link.State() != server::Link::Connected); // connecting goes on in the background
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        QTRY_COMPARE(r.peers.size(), 1);
        // Far more reply than the socket buffers hold: the server could not get rid of it unless
        // the link kept reading.
        r.peers[0]->write(QByteArray(16 << 20, 'R'));
        QTRY_COMPARE_WITH_TIMEOUT(r.peers[0]->bytesToWrite(), qint64(0), 20000);
        link.SendData("CG 1-20 INVOKE 1 \"In\r\n");
        link.SendData(QByteArray("\xce\xb1\r\n"));
        QTRY_COMPARE(r.received[0], QByteArray("CG 1-20 INVOKE 1 \"In\r\n\xce\xb1\r\n"));
        QTRY_COMPARE(link.findChild<QTcpSocket*>()->bytesAvailable(), qint64(0));
        QCOMPARE(link.State(), int(server::Link::Connected));
        link.Close();
        QTRY_COMPARE(r.peers[0]->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(link.State(), int(server::Link::Closed));
        QCOMPARE(failureNumber([&] { link.SendData("x\r\n"); }), 5);
    }

    void aRefusedConnectionNeverCountsAsConnected()
    {
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        link.Connect(QStringLiteral("127.0.0.1"), refusedPort());
        QTRY_COMPARE(link.State(), int(server::Link::Failed));
        QCOMPARE(failureNumber([&] { link.SendData("x\r\n"); }), 5);
        link.Close();
        QCOMPARE(link.State(), int(server::Link::Closed));
    }

    void theServerClosingTheConnection()
    {
        Recorder r;
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        QTRY_COMPARE(r.peers.size(), 1);
        r.peers[0]->disconnectFromHost();
        QTRY_COMPARE(link.State(), int(server::Link::ClosedByPeer));
        // A new connect request starts over on a fresh connection.
        link.Connect(QStringLiteral("127.0.0.1"), r.port());
        QTRY_COMPARE(link.State(), int(server::Link::Connected));
        link.SendData("CLEAR 1\r\n");
        QTRY_COMPARE(r.peers.size(), 2);
        QTRY_COMPARE(r.received[1], QByteArray("CLEAR 1\r\n"));
        QCOMPARE(r.received[0], QByteArray());
    }

    void portsThatAreNotWholeNumbersFail_data()
    {
        QTest::addColumn<QString>("port");
        for (const char* p : {"", " ", "abc", "0", "65536", "99999999", "52 50", "-1", "+5250", "5250x", "5.5", "٥٢٥٠"})
            QTest::newRow(p) << QString::fromUtf8(p);
    }
    void portsThatAreNotWholeNumbersFail()
    {
        QFETCH(QString, port);
        server::Link link(QStringLiteral("wsGASPAR"), nullptr);
        try {
            link.Connect(QStringLiteral("127.0.0.1"), port);
            QFAIL("connected");
        } catch (const fault::RuntimeError& e) {
            QCOMPARE(e.number, 5);
            QVERIFY2(e.description.contains(QLatin1Char('"') + port + QLatin1Char('"')), qPrintable(e.description));
        }
        QCOMPARE(link.State(), int(server::Link::Closed));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
