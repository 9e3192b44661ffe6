// The operator's whole road on the demo project: open it, pick a card, add a dataset, type its
// values, connect, and put it on air; the server receives exactly the line the grid shows.
#include <QTest>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "drive.h"
#include "editor_fixture.h"
#include "project/textlines.h"
#include "recorder.h"
#include "scripted.h"
#include "server/link.h"
#include "ui/application.h"
#include "version.h"

namespace CardCol = app::mGENERAL::CardCol;
namespace DatasetCol = app::mGENERAL::DatasetCol;
namespace TagCol = app::mGENERAL::TagCol;

class TestOperator : public QObject {
    Q_OBJECT
    EditorFixture fx;

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    // What ships with the program opens without a report, and every copy is what a save writes.
    void theDemoProjectIsClean()
    {
        ScriptScope& scope = *fx.scope;
        const QString root = fx.home.filePath(QStringLiteral("data"));
        const QDir shipped(QStringLiteral(PLINTOR_DEMO "/data/studio"));
        QDir().mkpath(root + QStringLiteral("/studio"));
        for (const QString& name : shipped.entryList(QDir::Files))
            QVERIFY(QFile::copy(shipped.filePath(name), root + QStringLiteral("/studio/") + name));
        fx.openFolder(QStringLiteral(PLINTOR_DEMO "/studio"));
        for (int row = 1; row < fx.vsCARDS()->rows(); ++row) {
            fx.vsCARDS()->setRow(row);
            QVERIFY2(fx.vsDATASET()->rows() > 1, qPrintable(fx.currentCardFile()));
            for (int d = 1; d < fx.vsDATASET()->rows(); ++d) {
                const QString file = fx.vsDATASET()->textMatrix(d, DatasetCol::File);
                const QByteArray copy = readRaw(shipped.filePath(QString(file).replace(".ftd", ".ft8")));
                QByteArray expected;
                for (const QByteArray& line : project::textfile::splitLines(readRaw(shipped.filePath(file))))
                    expected += project::codepage::decode(line).toUtf8() + "\r\n";
                QCOMPARE(copy, expected);
            }
        }
        // The shipped running order loads whole: every line is a row.
        fx.tbMAIN()->setTab(1);
        QCOMPARE(fx.vsPLAYLIST()->rows() - 1, project::textfile::splitLines(readRaw(shipped.filePath("playlist.dat"))).size());
        QVERIFY2(scope.script.reports.isEmpty(), qPrintable(scope.script.reports.join("\n")));
        QVERIFY2(scope.script.questions.isEmpty(), qPrintable(scope.script.questions.join("\n")));
    }

    void aNewDatasetGoesOnAirAsTyped()
    {
        ScriptScope& scope = *fx.scope;
        QVERIFY(fx.show());

        scope.script.folders.push_back(QStringLiteral(PLINTOR_DEMO "/studio"));
        fx.mnuOPEN()->trigger();
        QCOMPARE(fx.w->windowTitle(), version::caption() + QStringLiteral(" - studio"));
        QCOMPARE(fx.vsCARDS()->textMatrix(3, CardCol::FileName), QStringLiteral("lowerthird"));
        drive::click(fx.vsCARDS(), 3, CardCol::Title);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("lowerthird"));
        QCOMPARE(fx.cmbINVOKES()->entry(0), QStringLiteral("Play"));

        QTest::mouseClick(fx.cmdADDDATASET(), Qt::LeftButton);
        const QString dataset = fx.currentDataset();
        QVERIFY(dataset.startsWith(QStringLiteral("lowerthird_")));
        QCOMPARE(fx.vsTAGS()->rows(), 3);
        QVERIFY(drive::edit(fx.vsTAGS(), 1, TagCol::Value, QStringLiteral("Νίκος O'Brien")));
        QVERIFY(drive::edit(fx.vsTAGS(), 2, TagCol::Value, QStringLiteral("Tom & Jerry")));
        QVERIFY2(scope.script.reports.isEmpty(), qPrintable(scope.script.reports.join("\n")));

        const QString folder = fx.home.filePath(QStringLiteral("data/studio/"));
        QCOMPARE(readRaw(folder + dataset), QByteArray("TITLE~New dataset\r\nTAG~f0;\xCD\xDF\xEA\xEF\xF2 O'Brien\r\n"
                                                       "TAG~f1;Tom & Jerry\r\n"));
        QString copy = dataset;
        copy.replace(QStringLiteral(".ftd"), QStringLiteral(".ft8"));
        QCOMPARE(readRaw(folder + copy), QStringLiteral("TITLE~New dataset\r\nTAG~f0;Νίκος O'Brien\r\n"
                                                        "TAG~f1;Tom & Jerry\r\n")
                                             .toUtf8());

        Recorder server;
        fx.txtGASPARPORT()->setText(server.port());
        QTest::mouseClick(fx.cmdGASPARCONNECT(), Qt::LeftButton);
        QTRY_COMPARE(fx.wsGASPAR()->State(), int(server::Link::Connected));
        QTRY_COMPARE(server.peers.size(), 1);
        const QPoint play = fx.cmbINVOKES()->visualItemRect(fx.cmbINVOKES()->item(0)).center();
        QTest::mouseClick(fx.cmbINVOKES()->viewport(), Qt::LeftButton, {}, play);
        QTest::mouseClick(fx.cmdAIR(), Qt::LeftButton);

        const QByteArray expected =
            QStringLiteral("CG 1-20 ADD 1 \"studio/lowerthird\" 1 \"<templateData>"
                           "<componentData id=\\\"cg_channel\\\"><data type=\\\"txt\\\" ani=\\\"0\\\" value=\\\"1\\\">"
                           "</data></componentData>"
                           "<componentData id=\\\"f0\\\"><data type=\\\"text\\\" ani=\\\"1\\\" "
                           "value=\\\"Νίκος O&apos;Brien\\\"></data></componentData>"
                           "<componentData id=\\\"f1\\\"><data type=\\\"text\\\" ani=\\\"1\\\" "
                           "value=\\\"Tom &amp; Jerry\\\"></data></componentData>"
                           "</templateData>\"\r\n")
                .toUtf8();
        QTRY_COMPARE(server.all(), expected);
        QCOMPARE(fx.txtCOMMAND()->text().toUtf8(), expected);
    }
};

QTEST_MAIN(TestOperator)
#include "tst_operator.moc"
