// The rehearsal server: line framing over chunks, the reading of a line, and real connections.
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "hostile.h"
#include "monitor/framer.h"
#include "monitor/monitor.h"
#include "monitor/printout.h"
#include "monitor/reading.h"
#include "monitor/stage.h"
#include "server/compose.h"
#include "version.h"

using L = QList<QByteArray>;
using monitor::Field;
using Fields = QList<Field>;
Q_DECLARE_METATYPE(monitor::Field)
Q_DECLARE_METATYPE(monitor::Channels)

namespace {

// A client of a monitor that runs in this process, on a free port of the loopback interface. A
// deaf one never reads its replies: they stay in the system's buffers.
struct Client {
    QTcpSocket socket;
    QByteArray replies;
    explicit Client(quint16 port, bool deaf = false)
    {
        if (deaf)
            socket.setReadBufferSize(1);
        else
            QObject::connect(&socket, &QTcpSocket::readyRead, [this] { replies += socket.readAll(); });
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); // each piece its own segment
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
};

// An output that takes nothing until it is resumed, as a paused terminal; it keeps what it takes.
class GatedDevice : public QIODevice {
public:
    GatedDevice() { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    void resume()
    {
        const std::lock_guard lock(mutex_);
        resumed_ = true;
        gate_.notify_all();
    }
    QByteArray written()
    {
        const std::lock_guard lock(mutex_);
        return bytes_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        std::unique_lock lock(mutex_);
        gate_.wait(lock, [this] { return resumed_; });
        bytes_.append(data, size);
        return size;
    }

private:
    std::mutex mutex_;
    std::condition_variable gate_;
    bool resumed_ = false;
    QByteArray bytes_;
};

struct Received {
    int client;
    QByteArray line;
    monitor::Reading reading;
};

// Keeps every line it reads, unless they are a flood.
struct Rig {
    monitor::Monitor monitor;
    QList<Received> lines;
    QList<std::pair<int, qint64>> left;
    explicit Rig(const monitor::Limits& limits = {}, bool keep = true) : monitor(nullptr, nullptr, limits)
    {
        monitor.listen(QHostAddress::LocalHost, 0);
        if (keep)
            QObject::connect(&monitor, &monitor::Monitor::lineRead,
                             [this](int c, const monitor::Frame& f, const monitor::Reading& r) {
                                 lines.append({c, f.bytes, r});
                             });
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
        QTest::addColumn<QByteArray>("refuse");
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("flag");
        const QByteArray channel = "<componentData id=\\\"cg_channel\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" value=\\\"1\\\"></data></componentData>";
        const QByteArray none;
        QTest::newRow("update") << "CG 1-20 UPDATE 1 \"<templateData>" + channel + "</templateData>\"" << none
                                << qsizetype(5) << QByteArray("403 CG UPDATE FAILED\r\n") << Fields{{"cg_channel", "1"}} << QString();
        QTest::newRow("malformed document")
            << QByteArray("CG 1-20 ADD 1 \"demo/x\" 1 \"<templateData><componentData id='a'><data value='1'></templateData>\"")
            << none << qsizetype(7) << QByteArray("202 CG OK\r\n") << Fields{{"a", "1"}}
            << QStringLiteral("malformed template data: ");
        QTest::newRow("not XML at all") << QByteArray("CG 1-20 UPDATE 1 \"a < b\"") << none << qsizetype(5)
                                        << QByteArray("403 CG UPDATE FAILED\r\n") << Fields{} << QStringLiteral("malformed template data: ");
        QTest::newRow("a custom line with a group") << QByteArray("PLAY 1-10 AMB STING (MASK=m OVERLAY=\"x y\")") << none
                                                    << qsizetype(5) << QByteArray("202 PLAY OK\r\n") << Fields{} << QString();
        QTest::newRow("clear a layer") << QByteArray("clear 2-20") << none << qsizetype(2)
                                       << QByteArray("202 CLEAR OK\r\n") << Fields{} << QString();

        // What the server cannot parse is echoed, as the server decoded it.
        QTest::newRow("an invoke without a name") << QByteArray("CG 1-20 INVOKE 1 \"") << none << qsizetype(4)
                                                  << QByteArray("400 ERROR\r\nCG 1-20 INVOKE 1 \"\r\n") << Fields{} << QString();
        QTest::newRow("an add without its play flag") << QByteArray("CG 1-20 ADD 1 x") << none << qsizetype(5)
                                                      << QByteArray("400 ERROR\r\nCG 1-20 ADD 1 x\r\n") << Fields{} << QString();
        QTest::newRow("invalid bytes are dropped, also from the echo")
            << QByteArray("CG 1-20 INVOKE 1 \"\xff\xfe") << none << qsizetype(4)
            << QByteArray("400 ERROR\r\nCG 1-20 INVOKE 1 \"\r\n") << Fields{} << QStringLiteral("2 byte(s) not UTF-8");
        QTest::newRow("invalid bytes in a line the server carries out")
            << QByteArray("CLEAR 1\xc0") << none << qsizetype(2) << QByteArray("202 CLEAR OK\r\n") << Fields{}
            << QStringLiteral("1 byte(s) not UTF-8");
        QTest::newRow("a lone LF is flagged") << QByteArray("CLEAR 1\nCLEAR 2") << none << qsizetype(3)
                                              << QByteArray("400 ERROR\r\nCLEAR 1\nCLEAR 2\r\n") << Fields{}
                                              << QStringLiteral("a lone CR or LF inside the line");
        QTest::newRow("unknown command") << QByteArray("FROB 1") << none << qsizetype(2)
                                         << QByteArray("400 ERROR\r\nFROB 1\r\n") << Fields{} << QString();
        QTest::newRow("CG without its target") << QByteArray("CG ADD") << none << qsizetype(2)
                                               << QByteArray("400 ERROR\r\nCG ADD\r\n") << Fields{} << QString();
        // The server keeps a leading byte-order mark in the first parameter: no such command.
        QTest::newRow("a byte-order mark before the command") << QByteArray("\xEF\xBB\xBF" "CLEAR 1") << none << qsizetype(2)
                                                              << QByteArray("400 ERROR\r\n\xEF\xBB\xBF" "CLEAR 1\r\n") << Fields{}
                                                              << QStringLiteral("[1] \\ufeffCLEAR");
        QTest::newRow("nothing") << QByteArray("") << none << qsizetype(0) << QByteArray("400 ERROR\r\n\r\n") << Fields{}
                                 << QString();

        // Refusals, as for a missing template: the command and for CG its sub-command.
        QTest::newRow("a refused add") << QByteArray("CG 1-20 ADD 1 \"demo/lower3rd\" 1") << QByteArray("lower3rd")
                                       << qsizetype(6) << QByteArray("404 CG ADD FAILED\r\n") << Fields{} << QString();
        QTest::newRow("a refused invoke") << QByteArray("cg 1-20 invoke 1 \"Out") << QByteArray("Out") << qsizetype(5)
                                          << QByteArray("404 CG INVOKE FAILED\r\n") << Fields{} << QString();
        QTest::newRow("a refused play") << QByteArray("PLAY 1-10 AMB") << QByteArray("AMB") << qsizetype(3)
                                        << QByteArray("404 PLAY FAILED\r\n") << Fields{} << QString();
        QTest::newRow("refusal is by bytes, case and all") << QByteArray("PLAY 1-10 AMB") << QByteArray("amb")
                                                           << qsizetype(3) << QByteArray("202 PLAY OK\r\n") << Fields{}
                                                           << QString();
        QTest::newRow("what cannot be parsed is not refused but an error")
            << QByteArray("FROB AMB") << QByteArray("AMB") << qsizetype(2) << QByteArray("400 ERROR\r\nFROB AMB\r\n")
            << Fields{} << QString();

        // However many there are, the first are kept and shown, the rest counted.
        QTest::newRow("a line of 5,000 parameters") << "CLEAR 1" + QByteArray(" x").repeated(4998) << none
                                                    << qsizetype(5000) << QByteArray("202 CLEAR OK\r\n") << Fields{}
                                                    << QStringLiteral("  [300] x\n  ... 4700 more parameter(s)\n  -> ");
        QByteArray many = "CG 1-1 UPDATE 1 \"<templateData>";
        for (int i = 0; i < 1500; ++i)
            many += "<componentData id=\\\"f" + QByteArray::number(i) + "\\\"><data value=\\\"v\\\"/></componentData>";
        QTest::newRow("a document of 1,500 fields") << many + "</templateData>\"" << none << qsizetype(5)
                                                    << QByteArray("403 CG UPDATE FAILED\r\n") << Fields{}
                                                    << QStringLiteral("      f299 = v\n      ... 1200 more field(s)\n");
    }
    void reading()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, refuse);
        QFETCH(Fields, fields);
        QFETCH(QString, flag);
        const monitor::Reading r = monitor::read(line, refuse);
        QTEST(r.parameterCount, "count");
        QTEST(r.reply, "reply");
        QVERIFY(r.parameters.size() <= monitor::kKeptItems && r.fields.size() <= monitor::kKeptItems);
        if (r.fieldCount <= monitor::kKeptItems)
            QCOMPARE(r.fields, fields);
        const QString printed = monitor::render(QStringLiteral("12:00:00.000 client 1"), r);
        QVERIFY2(printed.endsWith(QStringLiteral("  -> ") + QString::fromLatin1(r.reply.split('\r')[0]) + u'\n'),
                 qPrintable(printed));
        QVERIFY2(printed.count(QStringLiteral("\n  [")) <= monitor::kShownItems, qPrintable(printed.left(200)));
        if (flag.isEmpty())
            QVERIFY2(!printed.contains(u'!'), qPrintable(printed));
        else
            QVERIFY2(printed.contains(flag), qPrintable(printed.right(400)));
    }

    // Lines in order on one stage: the answers that depend on the channels and on what each layer
    // holds, the request id, and the parser's own errors, as the server gives them.
    void theStageAnswersAsTheServerDoes_data()
    {
        QTest::addColumn<monitor::Channels>("channels");
        QTest::addColumn<QByteArray>("refuse");
        QTest::addColumn<L>("lines");
        QTest::addColumn<L>("replies");
        const monitor::Channels two;
        const QByteArray version = "201 VERSION OK\r\nplintor-monitor " + version::text().toUtf8() + "\r\n";
        QTest::newRow("version, channels, request id")
            << two << QByteArray() << L{"VERSION", "info", "REQ abc VERSION", "REQ q CLEAR 3", "REQ q CLEAR 2-10"}
            << L{version, "200 INFO OK\r\n1 1080i5000 PLAYING\r\n2 1080i5000 PLAYING\r\n\r\n", "RES abc " + version,
                 "RES q 400 ERROR\r\nREQ q CLEAR 3\r\n", "RES q 202 CLEAR OK\r\n"};
        QTest::newRow("three channels of 720p5000")
            << monitor::Channels{3, "720p5000"} << QByteArray() << L{"INFO 9", "CLEAR 3", "CLEAR 4", "CLEAR 0"}
            << L{"200 INFO OK\r\n1 720p5000 PLAYING\r\n2 720p5000 PLAYING\r\n3 720p5000 PLAYING\r\n\r\n",
                 "202 CLEAR OK\r\n", "400 ERROR\r\nCLEAR 4\r\n", "400 ERROR\r\nCLEAR 0\r\n"};
        const QByteArray update = "CG 1-20 UPDATE 1 \"<a/>\"";
        const QByteArray add = "CG 1-20 ADD 1 \"t\" 1";
        QTest::newRow("what a layer holds")
            << two << QByteArray()
            << L{update, "CG 1-20 INVOKE 1 \"x\"", "CG 1-20 STOP 1", "CG 1-20 PLAY 1", add, update,
                 "CG 1-20 INVOKE 1 \"x\"", "CG 2-20 UPDATE 1 \"<a/>\"", "CLEAR 1-20", update, add, "CLEAR 1", update,
                 add, "PLAY 1-20 clip", update, add, "CG 1-20 CLEAR", update, "CG 1 ADD 1 t 1",
                 "CG 1-9999 UPDATE 1 \"<a/>\""}
            << L{"403 CG UPDATE FAILED\r\n", "403 CG INVOKE FAILED\r\n", "403 CG STOP FAILED\r\n", "202 CG OK\r\n",
                 "202 CG OK\r\n", "202 CG OK\r\n", "201 CG OK\r\n\r\n", "403 CG UPDATE FAILED\r\n", "202 CLEAR OK\r\n",
                 "403 CG UPDATE FAILED\r\n", "202 CG OK\r\n", "202 CLEAR OK\r\n", "403 CG UPDATE FAILED\r\n",
                 "202 CG OK\r\n", "202 PLAY OK\r\n", "403 CG UPDATE FAILED\r\n", "202 CG OK\r\n", "202 CG OK\r\n",
                 "403 CG UPDATE FAILED\r\n", "202 CG OK\r\n", "202 CG OK\r\n"};
        QTest::newRow("the parser's own errors")
            << two << QByteArray()
            << L{"\"\" CLEAR 1", "REQ", "PING a b", "CG 1-20 ADD x \"t\" 1", "CG 1-20 ADD 99999999999 \"t\" 1",
                 "CG 1-20 ADD 1 \"t\" 1 \"\"", "CG 1-20 ADD 1 \"t\" label", "CG 1-20 UPDATE 1 \"\"", "LOADBG 1-10",
                 "CLEAR 1-x", "/x CLEAR 1", "MIXER 1-10 OPACITY 0.5", "MIXER 1-10"}
            << L{"401  ERROR\r\n", "402  ERROR\r\n", "PONG a b\r\n", "501 CG ADD FAILED\r\n", "402 CG ADD FAILED\r\n",
                 "402 CG ADD FAILED\r\n", "402 CG ADD FAILED\r\n", "402 CG UPDATE FAILED\r\n",
                 "400 ERROR\r\nLOADBG 1-10\r\n", "202 CLEAR OK\r\n", "202 CLEAR OK\r\n", "202 MIXER OK\r\n",
                 "400 ERROR\r\nMIXER 1-10\r\n"};
        QTest::newRow("a template refused is not there")
            << two << QByteArray("t1") << L{"CG 1-20 ADD 1 \"t1\" 1", update, "CG 1-20 ADD 1 \"t2\" 1", update}
            << L{"404 CG ADD FAILED\r\n", "403 CG UPDATE FAILED\r\n", "202 CG OK\r\n", "202 CG OK\r\n"};
    }
    void theStageAnswersAsTheServerDoes()
    {
        QFETCH(monitor::Channels, channels);
        QFETCH(QByteArray, refuse);
        QFETCH(L, lines);
        monitor::Stage stage(channels, "plintor-monitor " + version::text().toUtf8());
        L replies;
        for (const QByteArray& line : lines)
            replies.append(monitor::read(line, refuse, &stage).reply);
        QTEST(replies, "replies");
    }

    void theTerminalGetsNoControlCharacters()
    {
        const QString printed = monitor::render(QString(), monitor::read("CG 1-1 INVOKE 1 \"a\x1b[2Jb\\nc\x7f"));
        QVERIFY2(printed.contains(QLatin1String("a\\x1b[2Jb\\nc\\x7f")), qPrintable(printed));
        QCOMPARE(monitor::printable(QString(1000, u'x'), 10), QStringLiteral("xxxxxxxxxx ... (1000 characters in all)"));
        QCOMPARE(monitor::printableStart(QStringLiteral("λ").repeated(1000).toUtf8(), 3),
                 QStringLiteral("λλλ ... (2000 bytes in all)"));
        QCOMPARE(monitor::printableStart("ab\xff", 3), QStringLiteral("ab\uFFFD"));
    }

    // What the program composes comes out, through a real connection and split into many small
    // segments, as exactly the fields it was composed from.
    void theProgramsLinesReadBackFieldByField()
    {
        const QString hostile = hostileText();
        server::compose::Inputs in = hostileInputs();
        in.tags[2].Ani = 1;
        in.action = QStringLiteral("Play");
        const QByteArray add = server::compose::line(in);
        in.action = hostile;
        const QByteArray invoke = server::compose::line(in);

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
        QTRY_COMPARE(client.replies, QByteArray("202 CG OK\r\n201 CG OK\r\n\r\n")); // the template is there now
    }

    // Ten at once: short lines in fragments, a 10 MB line, one that leaves mid-line. Each gets
    // exactly its own lines and replies.
    void tenClientsAtOnce()
    {
        Rig rig;
        rig.monitor.setChannels({10, "1080i5000"});
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
        QTRY_COMPARE(clients[8]->replies, QByteArray("403 CG INVOKE FAILED\r\n202 CLEAR OK\r\n"));
        for (int k = 0; k < 8; ++k)
            QTRY_COMPARE(clients[k]->replies, QByteArray("202 CLEAR OK\r\n").repeated(3));
    }

    // One client floods and reads its replies, another floods and reads none. A third is answered
    // while they go on; the reader gets every reply, and every line of the deaf one is read.
    void floodingClientsHoldUpNobody()
    {
        monitor::Limits limits;
        limits.maxUnsentReplies = 64 << 10;
        limits.deafAfterMs = 200;
        Rig rig(limits, false);
        int readerLines = 0;
        int deafLines = 0;
        int readerLinesWhenGoodWasRead = -1;
        QObject::connect(&rig.monitor, &monitor::Monitor::lineRead, [&](int, const monitor::Frame& f, const monitor::Reading&) {
            if (f.bytes == "CLEAR 1")
                ++readerLines;
            else if (f.bytes.startsWith("FROB"))
                ++deafLines;
            else
                readerLinesWhenGoodWasRead = readerLines;
        });
        Client reader(rig.monitor.port());
        Client deaf(rig.monitor.port(), true);
        QVERIFY(reader.socket.waitForConnected(5000) && deaf.socket.waitForConnected(5000));
        const int floods = 200000;
        reader.socket.write(QByteArray("CLEAR 1\r\n").repeated(floods));
        // Lines the server cannot parse come back whole: replies that outgrow every buffer.
        const int deafFloods = 400;
        deaf.socket.write(("FROB " + QByteArray(50000, 'x') + "\r\n").repeated(deafFloods));
        QTRY_VERIFY(readerLines > 0 && deafLines > 0);

        Client good(rig.monitor.port());
        QVERIFY(good.socket.waitForConnected(5000));
        good.socket.write("CLEAR 2\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(good.replies, QByteArray("202 CLEAR OK\r\n"), 30000);
        QVERIFY2(readerLinesWhenGoodWasRead < floods, qPrintable(QString::number(readerLinesWhenGoodWasRead)));
        QTRY_COMPARE_WITH_TIMEOUT(reader.replies.size(), qsizetype(14) * floods, 120000);
        QCOMPARE(reader.replies, QByteArray("202 CLEAR OK\r\n").repeated(floods));
        QTRY_COMPARE_WITH_TIMEOUT(deafLines, deafFloods, 120000);
    }

    // Lines not ended yet are held to one limit for all clients together: past it, the client that
    // holds the most is sent away, and the others go on.
    void theUnendedLinesOfAllClientsShareOneLimit()
    {
        monitor::Limits limits;
        limits.maxUnended = 2 << 20;
        Rig rig(limits);
        Client big(rig.monitor.port());
        Client small(rig.monitor.port());
        QVERIFY(big.socket.waitForConnected(5000) && small.socket.waitForConnected(5000));
        big.socket.write(QByteArray(1500000, 'x'));
        const QByteArray line = "CLEAR 1 " + QByteArray(700000, 'y');
        small.socket.write(line);
        QTRY_COMPARE_WITH_TIMEOUT(rig.left.size(), 1, 30000);
        QVERIFY2(rig.left[0].second > 700000, qPrintable(QString::number(rig.left[0].second)));
        QTRY_COMPARE(big.socket.state(), QAbstractSocket::UnconnectedState);
        small.socket.write("\r\n");
        QTRY_COMPARE(small.replies, QByteArray("202 CLEAR OK\r\n"));
        QCOMPARE(rig.lines.size(), 1);
        QCOMPARE(rig.lines[0].line, line);
    }

    // A printout that nobody reads holds up nothing: past its limit prints are dropped and
    // counted, and the count is printed where they were once the output is read again.
    void thePrintoutNeverWaits()
    {
        GatedDevice out;
        {
            monitor::Printout printout(&out, 10000);
            const QByteArray line = QByteArray(99, 'p') + '\n';
            for (int i = 0; i < 1000; ++i)
                printout.print(line);
            out.resume();
            QTRY_VERIFY(out.written().contains("dropped"));
            printout.print("last\n");
        }
        const QList<QByteArray> printed = out.written().split('\n');
        const qsizetype kept = printed.count(QByteArray(99, 'p'));
        QVERIFY(kept > 0 && kept <= 100);
        QCOMPARE(printed.first(kept), L(kept, QByteArray(99, 'p')));
        QCOMPARE(printed.mid(kept), (L{"  ! " + QByteArray::number(1000 - kept) + " printout(s) dropped: the output was not read",
                                       "last", ""}));
    }

    // The program itself, as the README starts it: port 0 tells the port it took, each line is
    // printed as it comes and answered, a refusal rehearsed.
    void theProgramPrintsWhereItListensAndWhatItReads()
    {
        QProcess help;
        help.start(QStringLiteral(MONITOR_EXE), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(10000));
        QVERIFY(help.readAllStandardOutput().contains("--refuse <TEXT>"));
        QProcess process;
        process.start(QStringLiteral(MONITOR_EXE),
                      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--refuse"), QStringLiteral("lower3rd")});
        QVERIFY(process.waitForReadyRead(10000));
        const QRegularExpressionMatch port =
            QRegularExpression(QStringLiteral("port (\\d+)")).match(QString::fromUtf8(process.readLine()));
        QVERIFY(port.hasMatch());
        Client client(port.captured(1).toUShort());
        QVERIFY(client.socket.waitForConnected(5000));
        client.socket.write("CLEAR 1\r\nCG 1-20 ADD 1 \"demo/lower3rd\" 1\r\n");
        QTRY_COMPARE(client.replies, QByteArray("202 CLEAR OK\r\n404 CG ADD FAILED\r\n"));
        QByteArray printed;
        QTRY_VERIFY((printed += process.readAll()).contains("  [1] CLEAR\n  [2] 1\n  -> 202 CLEAR OK\n"));
        QTRY_VERIFY((printed += process.readAll()).contains("  [5] demo/lower3rd\n  [6] 1\n  -> 404 CG ADD FAILED\n"));
        process.kill();
        process.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
