// The main window on the offscreen platform: its controls, project opening, the recent list,
// and the real error box.
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/frmMAIN.h"
#include "tests_support.h"
#include "ui/application.h"
#include "ui/colors.h"

class TestWindow : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    std::unique_ptr<ScriptScope> scope;
    std::unique_ptr<frmMAIN> w;

    std::unique_ptr<frmMAIN> newWindow()
    {
        Options options;
        options.dataRoot = home.filePath(QStringLiteral("data"));
        return std::make_unique<frmMAIN>(options);
    }
    QString folder(const QString& name)
    {
        const QString path = home.filePath(QStringLiteral("projects/") + name);
        QDir().mkpath(path);
        return path;
    }
    void pickAndOpen(const QString& path)
    {
        scope->script.folders.push_back(path);
        w->mnuOPEN->trigger();
    }
    QStringList menuCaptions() const
    {
        QStringList shown;
        for (ui::MenuItem* item : w->mnMRU)
            if (item->isVisible())
                shown << item->caption();
        return shown;
    }

private slots:
    void initTestCase()
    {
        ui::setupApplication();
        redirectSettings(home.filePath(QStringLiteral("config")));
    }
    void init()
    {
        storeRecentList(QString());
        scope = std::make_unique<ScriptScope>();
        w = newWindow();
    }
    void cleanup()
    {
        w.reset();
        scope.reset();
    }

    void startsWithoutAProject()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("Plintor (1.3.0)"));
        QVERIFY(!w->tbMAIN->isEnabled());
        QCOMPARE(w->tbMAIN->tab(), 0);
        QCOMPARE(w->tbMAIN->tabBar()->tabText(0), QStringLiteral("Editor"));
        QCOMPARE(w->tbMAIN->tabBar()->tabText(1), QStringLiteral("Play list"));
        QCOMPARE(w->mnPROJECTTITLE->caption(), QStringLiteral("(none)"));
        QCOMPARE(w->mnProject->title(), QStringLiteral("&Project"));
        QCOMPARE(w->mnuOPEN->caption(), QStringLiteral("&Open"));
        QVERIFY(w->mnSEP1->isSeparator());
        // An empty recent list: one item "MRU", which cannot be picked.
        QCOMPARE(menuCaptions(), QStringList{QStringLiteral("MRU")});
        QVERIFY(!w->mnMRU[0]->isEnabled());
        QCOMPARE(w->cmbPREVIEW->count(), 4);
        QCOMPARE(w->cmbPREVIEW->currentText(), QStringLiteral("2"));
        QVERIFY(w->fraCOMMAND->isHidden());
        QVERIFY(w->Frame2->isHidden());
        QVERIFY(w->cmdCLEAR[0]->isHidden());
        QCOMPARE(w->cmdCLEAR[5]->caption(), QStringLiteral("?"));
        QCOMPARE(w->cmdGASPARCONNECT->caption(), QStringLiteral("Connect"));
        QCOMPARE(w->cmdGASPARCONNECT->tag, QStringLiteral("connect"));
        QCOMPARE(w->cmdGASPARCONNECT->backColor(), quint32(8421631));
        QCOMPARE(w->txtGASPARIP->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(w->txtGASPARPORT->text(), QStringLiteral("5250"));
        QVERIFY(!w->tmrCASPAR->enabled());
        QCOMPARE(w->tmrCASPAR->interval(), 500);
        for (ui::Grid* g : {w->vsCARDS, w->vsDATASET, w->vsTAGS, w->vsPLAYLIST})
            QCOMPARE(g->rows() + g->cols(), 0);
        QCOMPARE(w->mnREMOVEITEMPLAYLIST->caption(), QStringLiteral("Διαγραφή"));
        QVERIFY(!w->mnDELPLAYLIST->menuAction()->isVisible());
        QVERIFY(!w->menuBar()->actions().contains(w->mnCLEARCHANNEL[1]));
    }

    void everyControlHasItsName()
    {
        const char* names[] = {"tbMAIN", "Frame1", "fraCOMMAND", "Frame2", "txtGASPARIP", "txtGASPARPORT",
                               "cmdGASPARCONNECT", "cmdCLEAR(0)", "cmdCLEAR(4)", "cmdCLEAR(5)", "Label2",
                               "cmbPREVIEW", "txtCOMMAND", "cmdCLOSE", "imgTYPE(0)", "imgTYPE(3)", "Label1(0)",
                               "Label1(2)", "vsCARDS", "vsDATASET", "vsTAGS", "cmdADDDATASET", "cmdDELETEDATASET",
                               "cmbINVOKES", "cmdAIR", "trLIST", "vsPLAYLIST"};
        for (const char* name : names)
            QVERIFY2(w->findChild<QWidget*>(QLatin1String(name)), name);
        for (const char* name : {"mnuOPEN", "mnSEP1", "mnMRU(0)", "mnMRU(3)", "mnPROJECTTITLE", "mnCLEARCHANNEL(1)",
                                 "mnCLEARCHANNEL(4)", "mnREMOVEITEMPLAYLIST", "mnClearLAYERONAIR", "mnCLEARLAYERPREVIEW"})
            QVERIFY2(w->findChild<QAction*>(QLatin1String(name)), name);
        QVERIFY(w->findChild<QObject*>(QStringLiteral("tmrCASPAR")));
    }

    void theLayoutIsThatOfTheDesign()
    {
        QCOMPARE(w->centralWidget()->size(), QSize(894, 738));
        QCOMPARE(w->Frame1->geometry(), QRect(322, 0, 475, 23));
        QCOMPARE(w->vsCARDS->geometry(), QRect(4, 44, 239, 567));
        QCOMPARE(w->vsPLAYLIST->geometry(), QRect(206, 28, 683, 701));
        QCOMPARE(w->cmdCLEAR[4]->geometry(), QRect(292, 0, 23, 23));
        QCOMPARE(w->tbMAIN->pos(), QPoint(0, 4));
        // Resized at load from the window's outer size, less 80 twips across and 400 down.
        QCOMPARE(w->tbMAIN->width(), (w->frameGeometry().width() * 15 - 80) / 15);
        QVERIFY(w->tbMAIN->geometry().bottom() < 738);
        // The strip lies to the right of the page tabs.
        QVERIFY(w->tbMAIN->tabBar()->geometry().right() < 322);
    }

    void theConnectButtonShowsItsColourExactly()
    {
        QCOMPARE(ui::vbColor(8421631), QColor(255, 128, 128));
        QCOMPARE(ui::vbColor(255), QColor(255, 0, 0));
        QCOMPARE(ui::vbColor(65280), QColor(0, 255, 0));
        QCOMPARE(ui::vbValue(QColor(255, 128, 128)), quint32(8421631));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QImage shot = w->cmdGASPARCONNECT->grab().toImage();
        QCOMPARE(shot.pixelColor(4, 4), QColor(255, 128, 128));
        w->cmdGASPARCONNECT->setBackColor(65280);
        QCOMPARE(w->cmdGASPARCONNECT->grab().toImage().pixelColor(4, 4), QColor(0, 255, 0));
    }

    void openingAProject()
    {
        const QString news = folder(QStringLiteral("news"));
        writeCodePageLines(news + QStringLiteral("/title.fti"), {QStringLiteral("CARDTITLE:Τίτλος")});
        w->vsPLAYLIST->setCols(3);
        w->vsPLAYLIST->setRows(4);
        pickAndOpen(news);
        QCOMPARE(scope->script.folderPicks, 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Plintor (1.3.0) - news"));
        QCOMPARE(w->mnPROJECTTITLE->caption(), QStringLiteral("news"));
        QVERIFY(w->tbMAIN->isEnabled());
        QCOMPARE(w->tbMAIN->tab(), 0);
        QCOMPARE(w->s.ProjectFolder, news);
        QCOMPARE(w->s.DataFolder, home.filePath(QStringLiteral("data/news")));
        QCOMPARE(w->vsPLAYLIST->rows() + w->vsPLAYLIST->cols(), 0);
        QCOMPARE(w->vsCARDS->textMatrix(1, 1), QStringLiteral("Τίτλος"));
        QCOMPARE(menuCaptions(), QStringList{news});
        QVERIFY(w->mnMRU[0]->isEnabled());
        QVERIFY(scope->script.reports.isEmpty());
    }

    void aClickBelowTheRowsKeepsTheSelectedRow()
    {
        const QString news = folder(QStringLiteral("below"));
        writeCodePageLines(news + QStringLiteral("/a.fti"), {QStringLiteral("CARDTITLE:A")});
        writeCodePageLines(news + QStringLiteral("/b.fti"), {QStringLiteral("CARDTITLE:B")});
        w->show();
        pickAndOpen(news);
        QTest::mouseClick(w->vsCARDS->viewport(), Qt::LeftButton, {}, QPoint(40, w->vsCARDS->viewport()->height() - 5));
        QCOMPARE(w->vsCARDS->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(w->vsCARDS->row(), 1);
    }

    void cancellingThePickerChangesNothing()
    {
        pickAndOpen(QString());
        QCOMPARE(w->windowTitle(), QStringLiteral("Plintor (1.3.0)"));
        QVERIFY(!w->tbMAIN->isEnabled());
        QCOMPARE(w->s.RecentList, QString());
        QCOMPARE(w->vsCARDS->rows(), 0);
    }

    void recentItemsOpenAndMoveToTheFront()
    {
        const QString a = folder(QStringLiteral("a")), b = folder(QStringLiteral("b")), c = folder(QStringLiteral("c"));
        for (const QString& p : {a, b, c})
            pickAndOpen(p);
        QCOMPARE(menuCaptions(), (QStringList{c, b, a}));
        w->mnMRU[2]->trigger();
        QCOMPARE(w->s.ProjectFolder, a);
        QCOMPARE(menuCaptions(), (QStringList{a, c, b}));
        const QString before = w->s.RecentList;
        w->mnMRU[0]->trigger(); // the first again: the list stays as it is
        QCOMPARE(w->s.RecentList, before);
    }

    void aSixthFolderDropsTheOldest()
    {
        QStringList opened;
        for (int i = 1; i <= 6; ++i) {
            opened.prepend(folder(QStringLiteral("p%1").arg(i)));
            pickAndOpen(opened.front());
        }
        QCOMPARE(w->s.RecentList.count(QStringLiteral("~~")), 4); // five entries
        QVERIFY(!w->s.RecentList.contains(opened.back()));
        QCOMPARE(menuCaptions(), opened.mid(0, 4));
    }

    void theRecentListSurvivesARestart()
    {
        w->close(); // no project opened: the (empty) list is written all the same
        QCOMPARE(storedRecentList(), QString());
        w = newWindow();
        const QString a = folder(QStringLiteral("kept"));
        pickAndOpen(a);
        w->close();
        QCOMPARE(storedRecentList(), QStringLiteral("~") + a + QStringLiteral("~"));
        w = newWindow();
        QCOMPARE(menuCaptions(), QStringList{a});
        QVERIFY(w->mnMRU[0]->isEnabled());
        QCOMPARE(w->s.ProjectFolder, QString()); // listed, not reopened
    }

    void aRootFolderHasAnEmptyName()
    {
        w->mnuOPEN_Click(QDir::rootPath());
        QCOMPARE(w->s.ProjectName, QString());
        QCOMPARE(w->mnPROJECTTITLE->caption(), QString());
        QVERIFY(w->windowTitle().endsWith(QStringLiteral(") - ")));
        QVERIFY(w->s.DataFolder.endsWith(QStringLiteral("data") + QDir::separator()));
    }

    void aRecentFolderThatIsGoneIsReportedAndKept()
    {
        const QString gone = home.filePath(QStringLiteral("gone"));
        storeRecentList(QStringLiteral("~") + gone + QStringLiteral("~"));
        w = newWindow();
        w->mnMRU[0]->trigger();
        QCOMPARE(w->s.ProjectFolder, gone);
        QCOMPARE(w->windowTitle(), QStringLiteral("Plintor (1.3.0) - gone"));
        QCOMPARE(scope->script.reports.size(), 1);
        const QStringList lines = scope->script.reports[0].split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("Error 76"));
        QCOMPARE(lines[1], QStringLiteral("Path not found: ") + gone);
        QCOMPARE(lines[2], QStringLiteral("Location: Plintor.mGENERAL.LOADCARDS"));
        QVERIFY(lines[3].startsWith(QStringLiteral("Line ")));
        QCOMPARE(menuCaptions(), QStringList{gone});
    }

    void thePanelClosesWithAClick()
    {
        w->show();
        w->fraCOMMAND->show();
        QTest::mouseClick(w->cmdCLOSE, Qt::LeftButton);
        QVERIFY(w->fraCOMMAND->isHidden());
    }

    // The real box: its text, buttons and order, Escape refused, and no handler while it is up.
    void theRealErrorBox()
    {
        scope.reset(); // real dialogs
        w->show();
        w->fraCOMMAND->show();
        QStringList buttons;
        QString text, caption;
        bool iconless = false, abortIsDefault = false, stayedOnEscape = false, panelStayed = false;
        int shown = 0;
        std::function<void()> answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(20, answer);
                return;
            }
            ++shown;
            text = box->text();
            caption = box->windowTitle();
            iconless = box->icon() == QMessageBox::NoIcon;
            buttons.clear();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            std::sort(buttons.begin(), buttons.end(), [&](const QString& x, const QString& y) {
                return box->findChild<QPushButton*>(x.mid(1))->x() < box->findChild<QPushButton*>(y.mid(1))->x();
            });
            abortIsDefault = box->defaultButton() == box->findChild<QPushButton*>(QStringLiteral("Abort"));
            QTest::keyClick(box, Qt::Key_Escape);
            stayedOnEscape = box->isVisible();
            // A click on the window's Close button, delivered while the box is up, runs no handler.
            emit w->cmdCLOSE->clicked();
            panelStayed = w->fraCOMMAND->isVisible();
            QPushButton* which = box->findChild<QPushButton*>(shown == 1 ? QStringLiteral("Retry") : QStringLiteral("Ignore"));
            QTest::mouseClick(which, Qt::LeftButton);
            if (shown == 1)
                QTimer::singleShot(20, answer);
        };
        QTimer::singleShot(20, answer);
        const QString gone = home.filePath(QStringLiteral("nowhere"));
        w->mnuOPEN_Click(gone);
        QCOMPARE(shown, 2); // Retry failed again and showed the report again
        QCOMPARE(caption, QStringLiteral("Plintor"));
        QVERIFY(iconless);
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Abort"), QStringLiteral("&Retry"), QStringLiteral("&Ignore")}));
        QVERIFY(abortIsDefault);
        QVERIFY(stayedOnEscape);
        QVERIFY(panelStayed);
        QVERIFY(text.startsWith(QStringLiteral("Error 76\r\nPath not found: ") + gone));
        // Ignore went on: the empty card row is there.
        QCOMPARE(w->vsCARDS->rows(), 2);
        QTest::mouseClick(w->cmdCLOSE, Qt::LeftButton);
        QVERIFY(w->fraCOMMAND->isHidden());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
