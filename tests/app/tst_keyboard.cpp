// Typing as a person types: the window on an X server of its own, keys sent by xdotool through
// the X server, so that Shift, AltGr and dead keys arrive as separate presses before their
// character, as a keyboard sends them. What was typed is checked in the dataset's bytes.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include "drive.h"
#include "editor_fixture.h"

namespace CardCol = app::mGENERAL::CardCol;
namespace DatasetCol = app::mGENERAL::DatasetCol;
namespace TagCol = app::mGENERAL::TagCol;

namespace {

/// An X server of the test's own, started before the application so that it runs on it; the
/// reason when none could be had.
struct XServer {
    QProcess xvfb;
    QString skipReason;

    XServer()
    {
        for (const char* tool : {"Xvfb", "xdotool", "setxkbmap"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                skipReason = QStringLiteral("no %1 here: no X server to type on").arg(QLatin1String(tool));
                return;
            }
        // A display number no other server holds.
        int display = 90 + int(QCoreApplication::applicationPid() % 400);
        while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
            ++display;
        const QString name = QStringLiteral(":%1").arg(display);
        xvfb.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-terminate")});
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
        for (int i = 0; i < 100 && !QFile::exists(socket) && xvfb.state() != QProcess::NotRunning; ++i)
            QThread::msleep(100);
        if (!QFile::exists(socket)) {
            skipReason = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(xvfb.readAllStandardError());
            return;
        }
        qputenv("DISPLAY", name.toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    ~XServer()
    {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }
};

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
    EditorFixture fx;
    const QString skip_;

    /// Runs an X tool to its end, the window going on meanwhile as under a person's keyboard.
    static void run(const QString& tool, const QStringList& args)
    {
        QProcess p;
        p.start(tool, args);
        QVERIFY2(p.waitForStarted(), qPrintable(tool));
        QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::NotRunning, 20000);
        QVERIFY2(p.exitCode() == 0, qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
    }
    static int rowOf(const ui::Grid* g, int col, const QString& text)
    {
        for (int r = 1; r < g->rows(); ++r)
            if (g->textMatrix(r, col) == text)
                return r;
        return -1;
    }

public:
    explicit TestKeyboard(QString skip) : skip_(std::move(skip)) {}

private slots:
    void initTestCase()
    {
        if (!skip_.isEmpty())
            QSKIP(qPrintable(skip_));
        fx.setUp();
    }

    // The demo's lower third, its dataset "Morning show": the value "Maria Georgiou" of tag f0, the
    // dataset's title, or the host box, reached as the operator reaches it (a click or a
    // double-click), then the keys pressed one by one.
    void whatIsTypedIsKept_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<bool>("open");        // double-click into the cell, or type over it
        QTest::addColumn<QStringList>("keys"); // xdotool's key names; "type:" types the rest
        QTest::addColumn<QString>("kept");
        const QStringList greek{"Greek_OMICRON", "Greek_nu", "Greek_omicron", "Greek_mu", "Greek_alpha", "Greek_sigma",
                                "Greek_tau", "Greek_iota", "Greek_kappa", "dead_acute", "Greek_omicron", "Return"};
        QTest::newRow("appended after End") << "value" << "us" << true << QStringList{"End", "type: Jr", "Return"}
                                            << "Maria Georgiou Jr";
        QTest::newRow("a capital inside a word")
            << "value" << "us" << true << QStringList{"Home", "Right", "Right", "Right", "type:R", "Return"} << "MarRia Georgiou";
        QTest::newRow("Caps Lock") << "value" << "us" << true << QStringList{"End", "Caps_Lock", "type:x", "Caps_Lock", "Return"}
                                   << "Maria GeorgiouX";
        QTest::newRow("Shift and arrows select, typed over")
            << "value" << "us" << true << QStringList{"End", "shift+Left", "shift+Left", "type:OU", "Return"} << "Maria GeorgiOU";
        QTest::newRow("paste") << "value" << "us" << true << QStringList{"End", "type: ", "ctrl+v", "Return"}
                               << "Maria Georgiou Studio B";
        QTest::newRow("cut and paste") << "value" << "us" << true
                                       << QStringList{"ctrl+a", "ctrl+x", "type:Mr ", "ctrl+v", "Return"} << "Mr Maria Georgiou";
        QTest::newRow("undo") << "value" << "us" << true << QStringList{"End", "type:xyz", "ctrl+z", "Return"} << "Maria Georgiou";
        QTest::newRow("AltGr") << "value" << "de" << true << QStringList{"End", "type: @ €", "Return"} << "Maria Georgiou @ €";
        QTest::newRow("Greek with the dead tonos, typed over the cell") << "value" << "gr" << false << greek << "Ονομαστικό";
        QTest::newRow("Greek with the dead tonos, in the open cell")
            << "value" << "gr" << true << (QStringList{"ctrl+a"} + greek) << "Ονομαστικό";
        QTest::newRow("dialytika") << "value" << "gr" << true
                                   << QStringList{"End", "space", "dead_diaeresis", "Greek_iota", "Return"} << "Maria Georgiou ϊ";
        QTest::newRow("a title") << "title" << "us" << true << QStringList{"End", "type: Show", "Return"} << "Morning show Show";
        QTest::newRow("the host box") << "host" << "us" << false << QStringList{"ctrl+a", "type:Studio-A"} << "Studio-A";
    }
    void whatIsTypedIsKept()
    {
        QFETCH(QString, where);
        QFETCH(QString, layout);
        QFETCH(bool, open);
        QFETCH(QStringList, keys);
        QFETCH(QString, kept);

        fx.start();
        for (const QString& f : QDir(QStringLiteral(PLINTOR_DEMO "/studio")).entryList(QDir::Files))
            QVERIFY(QFile::copy(QStringLiteral(PLINTOR_DEMO "/studio/") + f, fx.projectFolder() + QLatin1Char('/') + f));
        QDir().mkpath(fx.dataFolder());
        for (const QString& f : QDir(QStringLiteral(PLINTOR_DEMO "/data/studio")).entryList(QDir::Files))
            QVERIFY(QFile::copy(QStringLiteral(PLINTOR_DEMO "/data/studio/") + f, fx.data(f)));
        fx.open();
        QVERIFY(fx.show());
        fx.w->activateWindow();
        QApplication::clipboard()->setText(QStringLiteral("Studio B"));
        run(QStringLiteral("setxkbmap"), {layout});

        drive::click(fx.vsCARDS(), rowOf(fx.vsCARDS(), CardCol::FileName, QStringLiteral("lowerthird")), CardCol::Title);
        const int dataset = rowOf(fx.vsDATASET(), DatasetCol::Description, QStringLiteral("Morning show"));
        drive::click(fx.vsDATASET(), dataset, DatasetCol::Description);
        const int tag = rowOf(fx.vsTAGS(), TagCol::Id, QStringLiteral("f0"));
        QCOMPARE(fx.vsTAGS()->textMatrix(tag, TagCol::Value), QStringLiteral("Maria Georgiou"));
        ui::Grid* grid = where == QLatin1String("title") ? fx.vsDATASET() : fx.vsTAGS();
        const int row = grid == fx.vsTAGS() ? tag : dataset;
        const int col = grid == fx.vsTAGS() ? int(TagCol::Value) : int(DatasetCol::Description);
        const QPoint at = where == QLatin1String("host") ? fx.txtGASPARIP()->mapToGlobal(fx.txtGASPARIP()->rect().center())
                                                         : grid->viewport()->mapToGlobal(drive::cellPoint(grid, row, col));

        // The pointer on the place, so that the keys go to the window; then the keys one by one.
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                        QStringLiteral("click"), QStringLiteral("--repeat"), open ? QStringLiteral("2") : QStringLiteral("1"),
                                        QStringLiteral("1")});
        if (where != QLatin1String("host"))
            QTRY_COMPARE(drive::editor(grid) != nullptr, open);
        for (const QString& key : std::as_const(keys)) {
            if (key.startsWith(QLatin1String("type:")))
                run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), key.mid(5)});
            else
                run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30"), key});
        }
        if (where == QLatin1String("host")) {
            QTRY_COMPARE(fx.txtGASPARIP()->text(), kept);
            return fx.stop();
        }
        QTRY_VERIFY(!drive::editor(grid));
        QTRY_COMPARE(grid->textMatrix(row, col), kept);

        const QByteArray line = where == QLatin1String("title") ? "TITLE~" : "\r\nTAG~f0;";
        const QByteArray ftd = readRaw(fx.data(QStringLiteral("lowerthird_p7w2c5n8.ftd")));
        const QByteArray ft8 = readRaw(fx.data(QStringLiteral("lowerthird_p7w2c5n8.ft8")));
        QVERIFY2(ftd.contains(line + project::codepage::encode(kept) + "\r\n"), ftd.constData());
        QVERIFY2(ft8.contains(line + kept.toUtf8() + "\r\n"), ft8.constData());
        fx.stop();
    }
};

// Under the leak checker: libdbus, which the X platform loads, keeps a buffer to the end.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so"; }

int main(int argc, char* argv[])
{
    XServer x;
    if (!x.skipReason.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestKeyboard test(x.skipReason);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyboard.moc"
