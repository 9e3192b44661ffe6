// The rehearsal server: line framing over chunks, the reading of a line, and real connections.
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>
#include <memory>

#include "monitor/framer.h"
#include "monitor/monitor.h"
#include "monitor/reading.h"
#include "server/compose.h"

using L = QList<QByteArray>;
using monitor::Field;
using Fields = QList<Field>;
Q_DECLARE_METATYPE(monitor::Field)

namespace {

// A client of a monitor that runs in this process, on a free port of the loopback interface.
struct Client {
    QTcpSocket socket;
    QByteArray replies;
    explicit Client(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { replies += socket.readAll(); });
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); // each piece its own segment
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
};

struct Received {
    int client;
    QByteArray line;
    monitor::Reading reading;
};

struct Rig {
    monitor::Monitor monitor{nullptr};
    QList<Received> lines;
    QList<std::pair<int, qint64>> left;
    Rig()
    {
        monitor.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&monitor, &monitor::Monitor::lineRead,
                         [this](int c, const monitor::Frame& f, const monitor::Reading& r) { lines.append({c, f.bytes, r}); });
        QObject::connect(&monitor, &monitor::Monitor::clientLeft,
                         [this](int c, qint64 unfinished) { left.append({c, unfinished}); });
    }
};

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private slots:
    void framing_data()
    {
        QTest::addColumn<L>("chunks");
        QTest::addColumn<qint64>("maxLine");
        QTest::addColumn<L>("lines");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QByteArray>("pending");
        const qint64 big = 1 << 20;
        QTest::newRow("many lines in one chunk")
            << L{"CLEAR 1\r\nCLEAR 2\r\n\r\nCLEAR 3"} << big << L{"CLEAR 1", "CLEAR 2", ""} << QList<qint64>{7, 7, 0}
            << QByteArray("CLEAR 3");
        QTest::newRow("CR LF split between chunks")
            << L{"a\r", "\nb\r", "\n"} << big << L{"a", "b"} << QList<qint64>{1, 1} << QByteArray();
        QTest::newRow("a lone CR or LF belongs to the line")
            << L{"a\nb\rc\r\r\n"} << big << L{"a\nb\rc\r"} << QList<qint64>{6} << QByteArray();
        QTest::newRow("byte by byte")
            << L{"x", "y", "\r", "\n", "z"} << big << L{"xy"} << QList<qint64>{2} << QByteArray("z");
        QTest::newRow("a line past the limit is cut, the next one whole")
            << L{"abcdefgh", "ij\r", "\nok\r\n"} << qint64(4) << L{"abcd", "ok"} << QList<qint64>{10, 2} << QByteArray();
        QTest::newRow("the CR beyond the limit still ends it")
            << L{"abcd\r", "\n"} << qint64(4) << L{"abcd"} << QList<qint64>{4} << QByteArray();
    }
    void framing()
    {
        QFETCH(L, chunks);
        QFETCH(qint64, maxLine);
        monitor::LineFramer framer(maxLine);
        L lines;
        QList<qint64> sizes;
        for (const QByteArray& chunk : chunks)
            for (const monitor::Frame& f : framer.feed(chunk)) {
                lines.append(f.bytes);
                sizes.append(f.size);
            }
        QTEST(lines, "lines");
        QTEST(sizes, "sizes");
        QTEST(framer.pending(), "pending");
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("flag");
        const QByteArray channel = "<componentData id=\\\"cg_channel\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" value=\\\"1\\\"></data></componentData>";
        QTest::newRow("update") << "CG 1-20 UPDATE 1 \"<templateData>" + channel + "</templateData>\""
                                << QByteArray("202 CG OK\r\n") << Fields{{"cg_channel", "1"}} << QString();
        QTest::newRow("malformed document")
            << QByteArray("CG 1-20 ADD 1 \"demo/x\" 1 \"<templateData><componentData id='a'><data value='1'></templateData>\"")
            << QByteArray("202 CG OK\r\n") << Fields{{"a", "1"}} << QStringLiteral("malformed template data: ");
        QTest::newRow("not XML at all") << QByteArray("CG 1-20 UPDATE 1 \"a < b\"") << QByteArray("202 CG OK\r\n")
                                        << Fields{} << QStringLiteral("malformed template data: ");
        QTest::newRow("not UTF-8") << QByteArray("CG 1-20 INVOKE 1 \"\xff\xfe") << QByteArray("400 ERROR\r\n") << Fields{}
                                   << QStringLiteral("not valid UTF-8");
        QTest::newRow("clear") << QByteArray("CLEAR 2") << QByteArray("202 CLEAR OK\r\n") << Fields{} << QString();
        QTest::newRow("clear a layer") << QByteArray("clear 2-20") << QByteArray("202 CLEAR OK\r\n") << Fields{} << QString();
        QTest::newRow("a custom play") << QByteArray("PLAY 1-10 AMB LOOP") << QByteArray("202 PLAY OK\r\n") << Fields{}
                                       << QString();
        QTest::newRow("unknown command") << QByteArray("FROB 1") << QByteArray("400 ERROR\r\n") << Fields{} << QString();
        QTest::newRow("CG without its target") << QByteArray("CG ADD") << QByteArray("400 ERROR\r\n") << Fields{} << QString();
        QTest::newRow("nothing") << QByteArray("") << QByteArray("400 ERROR\r\n") << Fields{} << QString();
    }
    void reading()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, flag);
        const monitor::Reading r = monitor::read(line);
        QTEST(r.reply, "reply");
        QTEST(r.fields, "fields");
        const QString printed = monitor::render(QStringLiteral("12:00:00.000 client 1"), r);
        if (flag.isEmpty())
            QVERIFY2(!printed.contains(u'!'), qPrintable(printed));
        else
            QVERIFY2(printed.contains(flag), qPrintable(printed));
    }

    void theTerminalGetsNoControlCharacters()
    {
        const QString printed = monitor::render(QString(), monitor::read("CG 1-1 INVOKE 1 \"a\x1b[2Jb\\nc\x7f"));
        QVERIFY2(printed.contains(QLatin1String("a\\x1b[2Jb\\nc\\x7f")), qPrintable(printed));
        QCOMPARE(monitor::printable(QString(1000, u'x'), 10), QStringLiteral("xxxxxxxxxx ... (1000 characters in all)"));
    }

    // What the program composes comes out, through a real connection and split into many small
    // segments, as exactly the fields it was composed from.
    void theProgramsLinesReadBackFieldByField()
    {
        const QString hostile = QStringLiteral("O'Brien \"the\" <b> & a\\b \\n Καλημέρα");
        compose::Inputs in;
        in.channel = 1;
        in.layer = 20;
        in.projectName = QStringLiteral("St\"udio\\ 'A'");
        in.fileName = QStringLiteral("lower3rd");
        in.tags[1].Id = QStringLiteral("f0");
        in.tags[1].Type = QStringLiteral("txt");
        in.tags[2].Id = QStringLiteral("τίτλος'\"");
        in.tags[2].Type = QStringLiteral("txt");
        in.tags[2].Ani = 1;
        in.copyLines = {"TITLE~x", "TAG~f0;" + hostile.toUtf8(), "TAG~" + in.tags[2].Id.toUtf8() + ";"};
        in.action = QStringLiteral("Play");
        const QByteArray add = compose::line(in);
        in.action = hostile;
        const QByteArray invoke = compose::line(in);

        Rig rig;
        Client client(rig.monitor.port());
        QVERIFY(client.socket.waitForConnected(5000));
        const QByteArray bytes = add + invoke;
        for (qsizetype at = 0; at < bytes.size(); at += 7) {
            client.socket.write(bytes.mid(at, 7));
            client.socket.flush();
            QTest::qWait(1);
        }
        QTRY_COMPARE(rig.lines.size(), 2);
        const monitor::Reading& r = rig.lines[0].reading;
        QCOMPARE(r.parameters.mid(0, 6), (L{"CG", "1-20", "ADD", "1", "St\"udio\\ 'A'/lower3rd", "1"}));
        QCOMPARE(r.xmlError, QString());
        QCOMPARE(r.fields, (Fields{{"cg_channel", "1"}, {"f0", hostile}, {in.tags[2].Id, ""}}));
        QCOMPARE(rig.lines[1].reading.parameters, (L{"CG", "1-20", "INVOKE", "1", hostile.toUtf8()}));
        QTRY_COMPARE(client.replies, QByteArray("202 CG OK\r\n202 CG OK\r\n"));
    }

    // Ten at once: short lines in fragments, a 10 MB line, one that leaves mid-line. Each gets
    // exactly its own lines and replies.
    void tenClientsAtOnce()
    {
        Rig rig;
        std::vector<std::unique_ptr<Client>> clients;
        for (int k = 0; k < 10; ++k)
            clients.push_back(std::make_unique<Client>(rig.monitor.port()));
        for (auto& c : clients)
            QVERIFY(c->socket.waitForConnected(5000));
        const QByteArray huge = "CG 1-1 INVOKE 1 \"" + QByteArray(10 << 20, 'x');
        clients[8]->socket.write(huge + "\r\nCLEAR 9-1\r\n");
        clients[9]->socket.write("CLEAR 10-1\r\nCG 1-20 INV");
        for (int j = 1; j <= 3; ++j)
            for (int k = 0; k < 8; ++k) {
                const QByteArray line = "CLEAR " + QByteArray::number(k + 1) + '-' + QByteArray::number(j) + "\r\n";
                clients[k]->socket.write(line.left(4));
                clients[k]->socket.flush();
                QTest::qWait(1);
                clients[k]->socket.write(line.mid(4));
            }
        QTRY_COMPARE_WITH_TIMEOUT(rig.lines.size(), 8 * 3 + 2 + 1, 30000);
        clients[9]->socket.disconnectFromHost();
        QTRY_COMPARE(rig.left.size(), 1);
        QCOMPARE(rig.left[0].second, qint64(strlen("CG 1-20 INV")));

        // Lines by the client that sent them, as the monitor numbered it.
        QMap<int, L> byClient;
        for (const Received& got : rig.lines)
            byClient[got.client].append(got.line);
        QCOMPARE(byClient.size(), 10);
        for (const L& lines : byClient) {
            const QByteArray k = lines[0] == huge ? "9" : lines[0].mid(6).split('-')[0];
            if (k == "9") {
                QCOMPARE(lines, (L{huge, "CLEAR 9-1"}));
            } else if (k == "10") {
                QCOMPARE(lines, L{"CLEAR 10-1"});
                QCOMPARE(byClient.key(lines), rig.left[0].first);
            } else {
                QCOMPARE(lines, (L{"CLEAR " + k + "-1", "CLEAR " + k + "-2", "CLEAR " + k + "-3"}));
            }
        }
        QTRY_COMPARE(clients[8]->replies, QByteArray("202 CG OK\r\n202 CLEAR OK\r\n"));
        for (int k = 0; k < 8; ++k)
            QTRY_COMPARE(clients[k]->replies, QByteArray("202 CLEAR OK\r\n").repeated(3));
    }

    // The program itself, as the README starts it: port 0 tells the port it took, each line is
    // printed as it comes and answered.
    void theProgramPrintsWhereItListensAndWhatItReads()
    {
        QProcess process;
        process.start(QStringLiteral(MONITOR_EXE), {QStringLiteral("--port"), QStringLiteral("0")});
        QVERIFY(process.waitForReadyRead(10000));
        const QRegularExpressionMatch port =
            QRegularExpression(QStringLiteral("port (\\d+)")).match(QString::fromUtf8(process.readLine()));
        QVERIFY(port.hasMatch());
        Client client(port.captured(1).toUShort());
        QVERIFY(client.socket.waitForConnected(5000));
        client.socket.write("CLEAR 1\r\n");
        QTRY_COMPARE(client.replies, QByteArray("202 CLEAR OK\r\n"));
        QByteArray printed;
        QTRY_VERIFY((printed += process.readAll()).contains("  [1] CLEAR\n  [2] 1\n  -> 202 CLEAR OK\n"));
        process.kill();
        process.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
