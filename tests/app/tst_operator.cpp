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
        app::frmMAIN& w = *fx.w;
        const QString root = fx.home.filePath(QStringLiteral("data"));
        const QDir shipped(QStringLiteral(PLINTOR_DEMO "/data/studio"));
        QDir().mkpath(root + QStringLiteral("/studio"));
        for (const QString& name : shipped.entryList(QDir::Files))
            QVERIFY(QFile::copy(shipped.filePath(name), root + QStringLiteral("/studio/") + name));
        w.mnuOPEN_Click(QStringLiteral(PLINTOR_DEMO "/studio"));
        for (int row = 1; row < w.vsCARDS->rows(); ++row) {
            w.vsCARDS->setRow(row);
            QVERIFY2(w.vsDATASET->rows() > 1, qPrintable(w.Doc.cardFile()));
            for (int d = 1; d < w.vsDATASET->rows(); ++d) {
                const QString file = w.vsDATASET->textMatrix(d, DatasetCol::File);
                const QByteArray copy = readRaw(shipped.filePath(QString(file).replace(".ftd", ".ft8")));
                QByteArray expected;
                for (const QByteArray& line : project::textfile::splitLines(readRaw(shipped.filePath(file))))
                    expected += project::codepage::decode(line).toUtf8() + "\r\n";
                QCOMPARE(copy, expected);
            }
        }
        // The shipped running order loads whole: every line is a row.
        w.tbMAIN->setTab(1);
        QCOMPARE(w.vsPLAYLIST->rows() - 1, project::textfile::splitLines(readRaw(shipped.filePath("playlist.dat"))).size());
        QVERIFY2(scope.script.reports.isEmpty(), qPrintable(scope.script.reports.join("\n")));
        QVERIFY2(scope.script.questions.isEmpty(), qPrintable(scope.script.questions.join("\n")));
    }

    void aNewDatasetGoesOnAirAsTyped()
    {
        ScriptScope& scope = *fx.scope;
        app::frmMAIN& w = *fx.w;
        QVERIFY(fx.show());

        scope.script.folders.push_back(QStringLiteral(PLINTOR_DEMO "/studio"));
        w.mnuOPEN->trigger();
        QCOMPARE(w.windowTitle(), version::caption() + QStringLiteral(" - studio"));
        QCOMPARE(w.vsCARDS->textMatrix(3, CardCol::FileName), QStringLiteral("lowerthird"));
        drive::click(w.vsCARDS, 3, CardCol::Title);
        QCOMPARE(w.Doc.cardFile(), QStringLiteral("lowerthird"));
        QCOMPARE(w.cmbINVOKES->entry(0), QStringLiteral("Play"));

        QTest::mouseClick(w.cmdADDDATASET, Qt::LeftButton);
        const QString dataset = w.Doc.dataset();
        QVERIFY(dataset.startsWith(QStringLiteral("lowerthird_")));
        QCOMPARE(w.vsTAGS->rows(), 3);
        QVERIFY(drive::edit(w.vsTAGS, 1, TagCol::Value, QStringLiteral("Νίκος O'Brien")));
        QVERIFY(drive::edit(w.vsTAGS, 2, TagCol::Value, QStringLiteral("Tom & Jerry")));
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
        w.txtGASPARPORT->setText(server.port());
        QTest::mouseClick(w.cmdGASPARCONNECT, Qt::LeftButton);
        QTRY_COMPARE(w.wsGASPAR->State(), int(server::Link::Connected));
        QTRY_COMPARE(server.peers.size(), 1);
        const QPoint play = w.cmbINVOKES->visualItemRect(w.cmbINVOKES->item(0)).center();
        QTest::mouseClick(w.cmbINVOKES->viewport(), Qt::LeftButton, {}, play);
        QTest::mouseClick(w.cmdAIR, Qt::LeftButton);

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
        QCOMPARE(w.txtCOMMAND->text().toUtf8(), expected);
    }
};

QTEST_MAIN(TestOperator)
#include "tst_operator.moc"
