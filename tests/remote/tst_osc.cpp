#include <QTest>
#include <QtEndian>
#include <cstring>

#include "remote/endpoint.h"
#include "remote/osc.h"

// The OSC reader and writer over datagrams built byte by byte, and the command line's endpoints.
namespace {

QByteArray str(const QByteArray& text)
{
    QByteArray out = text;
    out.append(4 - text.size() % 4, '\0');
    return out;
}
QByteArray i32(qint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    return QByteArray(b, 4);
}
QByteArray i64(qint64 v)
{
    char b[8];
    qToBigEndian(v, b);
    return QByteArray(b, 8);
}
QByteArray f32(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    return i32(qint32(bits));
}
QByteArray f64(double v)
{
    qint64 bits;
    std::memcpy(&bits, &v, 8);
    return i64(bits);
}
QByteArray bundle(const QList<QByteArray>& elements)
{
    QByteArray out = str("#bundle") + i64(1);
    for (const QByteArray& e : elements)
        out += i32(qint32(e.size())) + e;
    return out;
}

/// The decoded datagram as one line per message, "address tag:value ...", or "dropped".
QString describe(const std::optional<QList<remote::osc::Message>>& messages)
{
    if (!messages)
        return QStringLiteral("dropped");
    QStringList lines;
    for (const remote::osc::Message& m : *messages) {
        QString line = QString::fromLatin1(m.address);
        for (const remote::osc::Argument& a : m.arguments) {
            line += QLatin1Char(' ');
            line += QLatin1Char(a.tag);
            if (a.tag == 'i' || a.tag == 'h')
                line += QLatin1Char(':') + QString::number(a.integer);
            else if (a.tag == 'f' || a.tag == 'd')
                line += QLatin1Char(':') + QString::number(a.real);
            else if (a.tag == 's' || a.tag == 'S' || a.tag == 'b')
                line += QLatin1Char(':') + QString::fromLatin1(a.bytes.toHex());
        }
        lines += line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestOsc : public QObject {
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("canonical"); // written back byte for byte

        const QByteArray fire = str("/plintor/cue/fire");
        QTest::newRow("no arguments") << fire + str(",") << "/plintor/cue/fire" << true;
        QTest::newRow("no type tags, as old senders write") << fire << "/plintor/cue/fire" << false;
        QTest::newRow("i f") << str("/a") + str(",if") + i32(-7) + f32(0.5f) << "/a i:-7 f:0.5" << true;
        QTest::newRow("s S, padded") << str("/a") + str(",sS") + str("abc") + str("abcd") << "/a s:616263 S:61626364"
                                     << true;
        QTest::newRow("empty string") << str("/a") + str(",s") + str("") << "/a s:" << true;
        QTest::newRow("b h d") << str("/a") + str(",bhd") + i32(3) + QByteArray("xyz\0", 4) + i64(1LL << 40) + f64(2.25)
                               << "/a b:78797a h:1099511627776 d:2.25" << true;
        QTest::newRow("T F N I") << str("/a") + str(",TFNI") << "/a T F N I" << true;
        QTest::newRow("address of 4 bytes takes 4 NULs") << str("/abc") + str(",i") + i32(1) << "/abc i:1" << true;
        QTest::newRow("padding with other bytes is read past")
            << QByteArray("/a\0x,i\0y", 8) + i32(2) << "/a i:2" << false;
        QTest::newRow("address 128 bytes") << str("/" + QByteArray(127, 'a')) + str(",") << "/" + QString(127, 'a')
                                           << true;
        QTest::newRow("8 arguments") << str("/a") + str(",TTTTTTTT") << "/a T T T T T T T T" << true;
        QTest::newRow("1024 bytes") << str("/a") + str(",b") + i32(1012) + QByteArray(1012, 'z')
                                    << "/a b:" + QString::fromLatin1(QByteArray(1012, 'z').toHex()) << true;
        QTest::newRow("bundle of two") << bundle({str("/a") + str(",i") + i32(1), str("/b") + str(",")})
                                       << "/a i:1\n/b" << false;
        QTest::newRow("empty bundle") << bundle({}) << "" << false;

        QTest::newRow("empty datagram") << QByteArray() << "dropped" << false;
        QTest::newRow("address 129 bytes") << str("/" + QByteArray(128, 'a')) + str(",") << "dropped" << false;
        QTest::newRow("9 arguments") << str("/a") + str(",TTTTTTTTT") << "dropped" << false;
        QTest::newRow("1028 bytes") << str("/a") + str(",b") + i32(1016) + QByteArray(1016, 'z') << "dropped" << false;
        QTest::newRow("nested bundle") << bundle({bundle({str("/a") + str(",")})}) << "dropped" << false;
        QTest::newRow("size not a multiple of 4") << QByteArray("/a\0\0,\0\0\0\0", 9) << "dropped" << false;
        QTest::newRow("address without NUL") << QByteArray("/abc") << "dropped" << false;
        QTest::newRow("address without /") << str("a") + str(",") << "dropped" << false;
        QTest::newRow("type tags without ,") << str("/a") + str("i") + i32(1) << "dropped" << false;
        QTest::newRow("unknown type tag") << str("/a") + str(",r") + i32(1) << "dropped" << false;
        QTest::newRow("truncated integer") << str("/a") + str(",ii") + i32(1) << "dropped" << false;
        QTest::newRow("truncated 64-bit") << str("/a") + str(",h") + i32(1) << "dropped" << false;
        QTest::newRow("string without NUL") << str("/a") + str(",s") + "abcd" << "dropped" << false;
        QTest::newRow("blob past the end") << str("/a") + str(",b") + i32(8) + "abcd" << "dropped" << false;
        QTest::newRow("blob of negative size") << str("/a") + str(",b") + i32(-4) + "abcd" << "dropped" << false;
        QTest::newRow("bytes after the arguments") << str("/a") + str(",i") + i32(1) + i32(2) << "dropped" << false;
        QTest::newRow("bundle without time tag") << str("#bundle") << "dropped" << false;
        QTest::newRow("bundle misspelt") << str("#bundlx") + i64(1) << "dropped" << false;
        QTest::newRow("bundle element past the end") << str("#bundle") + i64(1) + i32(64) + str("/a") + str(",")
                                                     << "dropped" << false;
        QTest::newRow("bundle element of odd size") << str("#bundle") + i64(1) + i32(7) + str("/a") + str(",")
                                                    << "dropped" << false;
        QTest::newRow("bundle with a malformed element")
            << bundle({str("/a") + str(","), str("/b") + str(",i")}) << "dropped" << false;
    }
    void decode()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, expected);
        QFETCH(bool, canonical);
        const std::optional<QList<remote::osc::Message>> messages = remote::osc::decode(datagram);
        QCOMPARE(describe(messages), expected);
        if (canonical)
            QCOMPARE(remote::osc::encode(messages->first()), datagram);
    }

    void endpoints_data()
    {
        QTest::addColumn<bool>("listen"); // else a feedback target
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("port alone listens on this machine") << true << "9000" << "127.0.0.1:9000";
        QTest::newRow("every address") << true << "0.0.0.0:9000" << "0.0.0.0:9000";
        QTest::newRow("IPv6 in brackets") << true << "[::1]:9000" << "[::1]:9000";
        QTest::newRow("localhost") << true << "localhost:9000" << "127.0.0.1:9000";
        QTest::newRow("port 0") << true << "0" << "";
        QTest::newRow("port too big") << true << "65536" << "";
        QTest::newRow("signed port") << true << "+9000" << "";
        QTest::newRow("a name is not looked up") << true << "studio:9000" << "";
        QTest::newRow("IPv6 without brackets") << true << "::1:9000" << "";
        QTest::newRow("target") << false << "192.168.1.20:12321" << "192.168.1.20:12321";
        QTest::newRow("target without host") << false << "12321" << "";
        QTest::newRow("target without port") << false << "127.0.0.1:" << "";
    }
    void endpoints()
    {
        QFETCH(bool, listen);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::optional<remote::Endpoint> endpoint = listen ? remote::parseListen(text) : remote::parseTarget(text);
        QCOMPARE(endpoint ? endpoint->text() : QString(), expected);
    }
};

QTEST_GUILESS_MAIN(TestOsc)
#include "tst_osc.moc"
