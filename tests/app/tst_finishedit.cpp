// An edit left open, without Return, is finished by whatever the operator does next: the dataset,
// its copy and the line on the wire carry what was typed; a refused text keeps its editor open.
#include <QLineEdit>
#include <QTabBar>

#include "drive.h"
#include "playlist_fixture.h"
#include "project/codepage.h"

namespace CardCol = app::mGENERAL::CardCol;
namespace DatasetCol = app::mGENERAL::DatasetCol;
namespace TagCol = app::mGENERAL::TagCol;

class TestFinishEdit : public QObject {
    Q_OBJECT
    PlaylistFixture fx;
    std::unique_ptr<Recorder> server;

    // Card news (tag a) with datasets news_1 "One" and news_2 "Two", card other; the playlist
    // holds news_1; the window is connected, with "Play" chosen.
    void newsProject()
    {
        fx.card(QStringLiteral("news"), {QStringLiteral("CARDTITLE:News"), QStringLiteral("TAG:A;a;0;text")});
        fx.card(QStringLiteral("other"), {QStringLiteral("CARDTITLE:Other"), QStringLiteral("TAG:B;b;0;text")});
        fx.dataset(QStringLiteral("news_1.ftd"), {QStringLiteral("TITLE~One"), QStringLiteral("TAG~a;one a")});
        fx.dataset(QStringLiteral("news_2.ftd"), {QStringLiteral("TITLE~Two"), QStringLiteral("TAG~a;two a")});
        fx.writePlaylist("news_1.ftd\r\n");
        fx.open();
        QVERIFY(fx.show());
        server = std::make_unique<Recorder>();
        fx.connectTo(*server);
        QTest::mouseClick(fx.cmbINVOKES()->viewport(), Qt::LeftButton, {},
                          fx.cmbINVOKES()->visualItemRect(fx.cmbINVOKES()->item(0)).center());
    }
    QByteArray file(const QString& name) const { return readRaw(fx.data(name)); }
    void clickTab(int page)
    {
        QTabBar* bar = fx.tbMAIN()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    // What the operator does next.
    void act(const QString& action)
    {
        if (action == QLatin1String("On Air"))
            QTest::mouseClick(fx.cmdAIR(), Qt::LeftButton);
        else if (action == QLatin1String("+"))
            QTest::mouseClick(fx.cmdADDDATASET(), Qt::LeftButton);
        else if (action == QLatin1String("-"))
            QTest::mouseClick(fx.cmdDELETEDATASET(), Qt::LeftButton);
        else if (action == QLatin1String("Connect"))
            QTest::mouseClick(fx.cmdGASPARCONNECT(), Qt::LeftButton);
        else if (action == QLatin1String("C1"))
            QTest::mouseClick(fx.cmdCLEAR(1), Qt::LeftButton);
        else if (action == QLatin1String("?"))
            QTest::mouseClick(fx.cmdCLEAR(5), Qt::LeftButton);
        else if (action == QLatin1String("Play list"))
            clickTab(1);
        else if (action == QLatin1String("a fired step")) {
            clickTab(1);
            fx.click(1, Step1);
        } else if (action == QLatin1String("another card"))
            drive::click(fx.vsCARDS(), 2, CardCol::Title);
        else if (action == QLatin1String("another dataset"))
            drive::click(fx.vsDATASET(), 2, DatasetCol::Description);
        else if (action == QLatin1String("&Open")) {
            fx.scope->script.folders.push_back(fx.projectFolder());
            fx.mnuOPEN()->trigger();
        } else if (action == QLatin1String("a recent project"))
            fx.mnMRU(0)->trigger();
        else if (action == QLatin1String("closing"))
            fx.w->close();
        else
            QFAIL(qPrintable(action));
    }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup()
    {
        fx.stop();
        server.reset();
    }

    void theNextActionFinishesTheEdit_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("title"); // typed into the dataset's title, else into tag a's value
        QTest::addColumn<bool>("onTheWire");
        for (const char* action : {"+", "Connect", "C1", "?", "Play list", "another card", "another dataset", "&Open",
                                   "a recent project", "closing"})
            QTest::newRow(action) << action << false << false;
        QTest::newRow("On Air") << "On Air" << false << true;
        QTest::newRow("a fired step") << "a fired step" << false << true;
        QTest::newRow("+, after a title") << "+" << true << false;
        QTest::newRow("another dataset, after a title") << "another dataset" << true << false;
    }
    void theNextActionFinishesTheEdit()
    {
        QFETCH(QString, action);
        QFETCH(bool, title);
        QFETCH(bool, onTheWire);
        newsProject();
        const QString typed = QStringLiteral("Νέα τιμή");
        ui::Grid* g = title ? fx.vsDATASET() : fx.vsTAGS();
        QVERIFY(drive::typeInto(g, 1, title ? int(DatasetCol::Description) : int(TagCol::Value), typed));
        server->received[0].clear();

        act(action);

        const QString line = (title ? QStringLiteral("TITLE~") : QStringLiteral("TAG~a;")) + typed + QStringLiteral("\r\n");
        QVERIFY2(file(QStringLiteral("news_1.ftd")).contains(project::codepage::encode(line)),
                 file(QStringLiteral("news_1.ftd")).constData());
        QVERIFY(file(QStringLiteral("news_1.ft8")).contains(line.toUtf8()));
        if (onTheWire)
            QTRY_VERIFY2(server->all().contains(typed.toUtf8()), server->all().constData());
        QVERIFY(!drive::editor(g));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
        QVERIFY(fx.scope->script.messages.isEmpty());
    }

    // "-" deletes what it finished: the edit is saved first, and no editor is left on a row gone.
    void deletingFinishesTheEditFirst()
    {
        newsProject();
        QVERIFY(drive::typeInto(fx.vsTAGS(), 1, TagCol::Value, QStringLiteral("gone")));
        act(QStringLiteral("-"));
        QVERIFY(!QFile::exists(fx.data(QStringLiteral("news_1.ftd"))));
        QVERIFY(!QFile::exists(fx.data(QStringLiteral("news_1.ft8"))));
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_2.ftd"));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), QStringList{"two a"});
        QVERIFY(!drive::editor(fx.vsTAGS()));
    }

    // A refused text stays in its open editor, stops each action the operator tries, and is
    // saved and sent once corrected.
    void aRefusedEditStaysOpen()
    {
        newsProject();
        const QByteArray before = file(QStringLiteral("news_1.ftd"));
        const QByteArray copy = file(QStringLiteral("news_1.ft8"));
        server->received[0].clear();
        QLineEdit* editor = drive::typeInto(fx.vsTAGS(), 1, TagCol::Value, QStringLiteral("a;b"));
        QVERIFY(editor);

        act(QStringLiteral("On Air"));
        QCOMPARE(fx.scope->script.messages.size(), 1);
        QVERIFY(fx.scope->script.messages[0].contains(QStringLiteral("\";\"")));
        act(QStringLiteral("another card"));
        QCOMPARE(fx.scope->script.messages.size(), 2);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("news"));
        QCOMPARE(fx.vsCARDS()->row(), 1);
        act(QStringLiteral("Play list"));
        QCOMPARE(fx.tbMAIN()->tab(), 0);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(fx.scope->script.messages.size(), 4);

        QCOMPARE(drive::editor(fx.vsTAGS()), editor);
        QCOMPARE(editor->text(), QStringLiteral("a;b"));
        QCOMPARE(fx.vsTAGS()->textMatrix(1, TagCol::Value), QStringLiteral("one a"));
        QCOMPARE(file(QStringLiteral("news_1.ftd")), before);
        QCOMPARE(file(QStringLiteral("news_1.ft8")), copy);
        QTest::qWait(20);
        QCOMPARE(server->all(), QByteArray());

        editor->selectAll();
        drive::type(editor, QStringLiteral("a and b"));
        act(QStringLiteral("On Air"));
        QTRY_VERIFY(server->all().contains("a and b"));
        QVERIFY(file(QStringLiteral("news_1.ftd")).contains("TAG~a;a and b\r\n"));
        QVERIFY(!drive::editor(fx.vsTAGS()));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }
};

QTEST_MAIN(TestFinishEdit)
#include "tst_finishedit.moc"
