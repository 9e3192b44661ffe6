// The main window on the offscreen platform: its controls, project opening, the recent list,
// and the real error box.
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "editor_fixture.h"
#include "scripted.h"
#include "ui/application.h"
#include "ui/colors.h"

namespace CardCol = app::mGENERAL::CardCol;

class TestWindow : public QObject {
    Q_OBJECT
    EditorFixture fx;

    QString folder(const QString& name)
    {
        const QString path = fx.native(QStringLiteral("projects/") + name);
        QDir().mkpath(path);
        return path;
    }
    void pickAndOpen(const QString& path)
    {
        fx.scope->script.folders.push_back(path);
        fx.w->mnuOPEN->trigger();
    }
    QStringList menuCaptions() const
    {
        QStringList shown;
        for (ui::MenuItem* item : fx.w->mnMRU)
            if (item->isVisible())
                shown << item->text();
        return shown;
    }

private slots:
    void initTestCase() { fx.setUp(); }
    void init()
    {
        storeRecentList(QString());
        fx.start();
    }
    void cleanup() { fx.stop(); }

    void startsWithoutAProject()
    {
        QCOMPARE(fx.w->windowTitle(), QStringLiteral("Plintor (1.3.0)"));
        QVERIFY(!fx.w->tbMAIN->isEnabled());
        QCOMPARE(fx.w->tbMAIN->tab(), 0);
        QCOMPARE(fx.w->tbMAIN->tabBar()->tabText(0), QStringLiteral("Editor"));
        QCOMPARE(fx.w->tbMAIN->tabBar()->tabText(1), QStringLiteral("Play list"));
        QCOMPARE(fx.w->mnPROJECTTITLE->text(), QStringLiteral("(none)"));
        QCOMPARE(fx.w->mnProject->title(), QStringLiteral("&Project"));
        QCOMPARE(fx.w->mnuOPEN->text(), QStringLiteral("&Open"));
        QVERIFY(fx.w->mnSEP1->isSeparator());
        QVERIFY(fx.w->mnSEP1->text().isEmpty()); // a line only: a style draws a separator's text beside it
        // An empty recent list: one item "MRU", which cannot be picked.
        QCOMPARE(menuCaptions(), QStringList{QStringLiteral("MRU")});
        QVERIFY(!fx.w->mnMRU[0]->isEnabled());
        QCOMPARE(fx.w->cmbPREVIEW->count(), 4);
        QCOMPARE(fx.w->cmbPREVIEW->currentText(), QStringLiteral("2"));
        QVERIFY(fx.w->fraCOMMAND->isHidden());
        QVERIFY(fx.w->Frame2->isHidden());
        QVERIFY(fx.w->cmdCLEAR[0]->isHidden());
        QCOMPARE(fx.w->cmdCLEAR[5]->text(), QStringLiteral("?"));
        QCOMPARE(fx.w->cmdGASPARCONNECT->text(), QStringLiteral("Connect"));
        QCOMPARE(fx.w->cmdGASPARCONNECT->tag, QStringLiteral("connect"));
        QCOMPARE(fx.w->cmdGASPARCONNECT->backColor(), ui::palette::LinkIdle);
        QCOMPARE(fx.w->txtGASPARIP->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(fx.w->txtGASPARPORT->text(), QStringLiteral("5250"));
        QVERIFY(!fx.w->tmrCASPAR->isActive());
        QCOMPARE(fx.w->tmrCASPAR->interval(), 500);
        for (ui::Grid* g : {fx.w->vsCARDS, fx.w->vsDATASET, fx.w->vsTAGS, fx.w->vsPLAYLIST})
            QCOMPARE(g->rows() + g->cols(), 0);
        QCOMPARE(fx.w->mnREMOVEITEMPLAYLIST->text(), QStringLiteral("Διαγραφή"));
        QVERIFY(!fx.w->mnDELPLAYLIST->menuAction()->isVisible());
        QVERIFY(!fx.w->menuBar()->actions().contains(fx.w->mnCLEARCHANNEL[1]));
    }

    void everyControlHasItsName()
    {
        const char* names[] = {"tbMAIN", "Frame1", "fraCOMMAND", "Frame2", "txtGASPARIP", "txtGASPARPORT",
                               "cmdGASPARCONNECT", "cmdCLEAR(0)", "cmdCLEAR(4)", "cmdCLEAR(5)", "Label2",
                               "cmbPREVIEW", "txtCOMMAND", "cmdCLOSE", "imgTYPE(0)", "imgTYPE(3)", "Label1(0)",
                               "Label1(2)", "vsCARDS", "vsDATASET", "vsTAGS", "cmdADDDATASET", "cmdDELETEDATASET",
                               "cmbINVOKES", "cmdAIR", "trLIST", "vsPLAYLIST"};
        for (const char* name : names)
            QVERIFY2(fx.w->findChild<QWidget*>(QLatin1String(name)), name);
        for (const char* name : {"mnuOPEN", "mnSEP1", "mnMRU(0)", "mnMRU(3)", "mnPROJECTTITLE", "mnCLEARCHANNEL(1)",
                                 "mnCLEARCHANNEL(4)", "mnREMOVEITEMPLAYLIST", "mnClearLAYERONAIR", "mnCLEARLAYERPREVIEW"})
            QVERIFY2(fx.w->findChild<QAction*>(QLatin1String(name)), name);
        QVERIFY(fx.w->findChild<QObject*>(QStringLiteral("tmrCASPAR")));
    }

    void theLayoutIsThatOfTheDesignAndNothingIsCut_data()
    {
        QTest::addColumn<QRect>("rect");
        const auto add = [](const char* name, QRect rect) { QTest::newRow(name) << rect; };
        add("Frame1", {322, 0, 475, 23});
        add("txtGASPARIP", {6, 4, 69, 19});
        add("txtGASPARPORT", {74, 4, 37, 19});
        add("cmdGASPARCONNECT", {114, 0, 71, 23});
        for (int i = 1; i <= 4; ++i)
            add(qPrintable(QStringLiteral("cmdCLEAR(%1)").arg(i)), {214 + (i - 1) * 26, 0, 23, 23});
        add("cmdCLEAR(5)", {334, 0, 23, 23});
        add("Label2", {376, 6, 43, 13});
        add("cmbPREVIEW", {418, 2, 39, 21});
        add("fraCOMMAND", {80, 96, 717, 385});
        add("txtCOMMAND", {8, 16, 699, 335});
        add("cmdCLOSE", {638, 354, 57, 25});
        add("Label1(0)", {12, 30, 57, 11});
        add("Label1(1)", {248, 30, 57, 11});
        add("Label1(2)", {436, 28, 57, 13});
        add("vsCARDS", {4, 44, 239, 567});
        add("vsDATASET", {246, 44, 185, 681});
        add("vsTAGS", {434, 44, 453, 681});
        add("cmdADDDATASET", {292, 26, 17, 17});
        add("cmdDELETEDATASET", {312, 26, 17, 17});
        add("cmbINVOKES", {8, 616, 125, 108});
        add("cmdAIR", {146, 656, 41, 23});
        add("trLIST", {4, 28, 201, 701});
        add("vsPLAYLIST", {206, 28, 682, 701}); // one pixel narrower than drawn: its page is 888 wide
    }
    void theLayoutIsThatOfTheDesignAndNothingIsCut()
    {
        QFETCH(QRect, rect);
        auto* control = fx.w->findChild<QWidget*>(QLatin1String(QTest::currentDataTag()));
        QVERIFY(control);
        QCOMPARE(control->geometry(), rect);
        QVERIFY2(control->parentWidget()->rect().contains(rect),
                 qPrintable(QStringLiteral("inside %1 by %2").arg(control->parentWidget()->width()).arg(control->parentWidget()->height())));
    }

    void theWindowIsSizedAtLoad()
    {
        QCOMPARE(fx.w->centralWidget()->size(), QSize(894, 738));
        QCOMPARE(fx.w->tbMAIN->pos(), QPoint(0, 4));
        // Resized at load from the window's outer size, less 80 twips across and 400 down.
        QCOMPARE(fx.w->tbMAIN->width(), (fx.w->frameGeometry().width() * 15 - 80) / 15);
        QVERIFY(fx.w->tbMAIN->geometry().bottom() < 738);
        // The status bar lies below the design's client area, which it does not change.
        QCOMPARE(fx.w->sbSTATUS->focusPolicy(), Qt::NoFocus);
        QCOMPARE(fx.w->height(), fx.w->menuBar()->sizeHint().height() + 738 + fx.w->sbSTATUS->sizeHint().height());
        QCOMPARE(fx.w->tbMAIN->height(),
                 ((fx.w->frameGeometry().height() - fx.w->sbSTATUS->sizeHint().height()) * 15 - 4 * 15 - 400) / 15);
        QCOMPARE(fx.w->sbSTATUS->link(), QString("Not connected"));
        // The strip lies to the right of the page tabs.
        QVERIFY(fx.w->tbMAIN->tabBar()->geometry().right() < 322);
    }

    void theConnectButtonShowsItsColourExactly()
    {
        QCOMPARE(ui::vbColor(ui::palette::LinkIdle), QColor(255, 128, 128));
        QCOMPARE(ui::vbColor(ui::palette::LinkBlink), QColor(255, 0, 0));
        QCOMPARE(ui::vbColor(ui::palette::LinkUp), QColor(0, 255, 0));
        QCOMPARE(ui::vbValue(QColor(255, 128, 128)), ui::palette::LinkIdle);
        fx.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx.w.get()));
        const QImage shot = fx.w->cmdGASPARCONNECT->grab().toImage();
        QCOMPARE(shot.pixelColor(4, 4), QColor(255, 128, 128));
        fx.w->cmdGASPARCONNECT->setBackColor(ui::palette::LinkUp);
        QCOMPARE(fx.w->cmdGASPARCONNECT->grab().toImage().pixelColor(4, 4), QColor(0, 255, 0));
    }

    void openingAProject()
    {
        const QString news = folder(QStringLiteral("news"));
        writeCodePageLines(news + QStringLiteral("/title.fti"), {QStringLiteral("CARDTITLE:Τίτλος")});
        fx.w->Playlist.load({playlist::RunningOrder::Entry()});
        fx.w->PlaylistCells->setColumns(8);
        pickAndOpen(news);
        QCOMPARE(fx.scope->script.folderPicks, 1);
        QCOMPARE(fx.w->windowTitle(), QStringLiteral("Plintor (1.3.0) - news"));
        QCOMPARE(fx.w->mnPROJECTTITLE->text(), QStringLiteral("news"));
        QVERIFY(fx.w->tbMAIN->isEnabled());
        QCOMPARE(fx.w->tbMAIN->tab(), 0);
        QCOMPARE(fx.w->s.ProjectFolder, news);
        QCOMPARE(fx.w->s.DataFolder, fx.native(QStringLiteral("data/news")));
        QVERIFY(!fx.w->Playlist.isLoaded());
        QCOMPARE(fx.w->Playlist.size() + fx.w->vsPLAYLIST->cols(), 0);
        QCOMPARE(fx.w->vsCARDS->textMatrix(1, CardCol::Title), QStringLiteral("Τίτλος"));
        QCOMPARE(menuCaptions(), QStringList{news});
        QVERIFY(fx.w->mnMRU[0]->isEnabled());
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void aClickBelowTheRowsKeepsTheSelectedRow()
    {
        const QString news = folder(QStringLiteral("below"));
        writeCodePageLines(news + QStringLiteral("/a.fti"), {QStringLiteral("CARDTITLE:A")});
        writeCodePageLines(news + QStringLiteral("/b.fti"), {QStringLiteral("CARDTITLE:B")});
        fx.w->show();
        pickAndOpen(news);
        QTest::mouseClick(fx.w->vsCARDS->viewport(), Qt::LeftButton, {}, QPoint(40, fx.w->vsCARDS->viewport()->height() - 5));
        QCOMPARE(fx.w->vsCARDS->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(fx.w->vsCARDS->row(), 1);
    }

    void cancellingThePickerChangesNothing()
    {
        pickAndOpen(QString());
        QCOMPARE(fx.w->windowTitle(), QStringLiteral("Plintor (1.3.0)"));
        QVERIFY(!fx.w->tbMAIN->isEnabled());
        QCOMPARE(fx.w->s.RecentList, QString());
        QCOMPARE(fx.w->vsCARDS->rows(), 0);
    }

    void recentItemsOpenAndMoveToTheFront()
    {
        const QString a = folder(QStringLiteral("a")), b = folder(QStringLiteral("b")), c = folder(QStringLiteral("c"));
        for (const QString& p : {a, b, c})
            pickAndOpen(p);
        QCOMPARE(menuCaptions(), (QStringList{c, b, a}));
        fx.w->mnMRU[2]->trigger();
        QCOMPARE(fx.w->s.ProjectFolder, a);
        QCOMPARE(menuCaptions(), (QStringList{a, c, b}));
        const QString before = fx.w->s.RecentList;
        fx.w->mnMRU[0]->trigger(); // the first again: the list stays as it is
        QCOMPARE(fx.w->s.RecentList, before);
    }

    void aSixthFolderDropsTheOldest()
    {
        QStringList opened;
        for (int i = 1; i <= 6; ++i) {
            opened.prepend(folder(QStringLiteral("p%1").arg(i)));
            pickAndOpen(opened.front());
        }
        QCOMPARE(fx.w->s.RecentList.count(QStringLiteral("~~")), 4); // five entries
        QVERIFY(!fx.w->s.RecentList.contains(opened.back()));
        QCOMPARE(menuCaptions(), opened.mid(0, 4));
    }

    void theRecentListSurvivesARestart()
    {
        fx.w->close(); // no project opened: the (empty) list is written all the same
        QCOMPARE(storedRecentList(), QString());
        fx.restart();
        const QString a = folder(QStringLiteral("kept"));
        pickAndOpen(a);
        fx.w->close();
        QCOMPARE(storedRecentList(), QStringLiteral("~") + a + QStringLiteral("~"));
        fx.restart();
        QCOMPARE(menuCaptions(), QStringList{a});
        QVERIFY(fx.w->mnMRU[0]->isEnabled());
        QCOMPARE(fx.w->s.ProjectFolder, QString()); // listed, not reopened
    }

    void aRootFolderHasAnEmptyName()
    {
        fx.w->mnuOPEN_Click(QDir::rootPath());
        QCOMPARE(fx.w->s.ProjectName, QString());
        QCOMPARE(fx.w->mnPROJECTTITLE->text(), QString());
        QVERIFY(fx.w->windowTitle().endsWith(QStringLiteral(") - ")));
        QVERIFY(fx.w->s.DataFolder.endsWith(QStringLiteral("data") + QDir::separator()));
    }

    // However a path is typed, the project is the folder it names, and the recent list keeps the
    // path whole or, holding "~", not at all.
    void aPathIsTakenForTheFolderItNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        QTest::newRow("trailing separator") << "news/" << "news" << true;
        QTest::newRow("into a folder and back") << "news/sub/.." << "news" << true;
        QTest::newRow("dots and doubled separators") << ".//news/." << "news" << true;
        QTest::newRow("with !") << "a!b" << "a!b" << true;
        QTest::newRow("with ~") << "a~b/" << "a~b" << false;
    }
    void aPathIsTakenForTheFolderItNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(bool, listed);
        const QString path = folder(name);
        folder(name + QStringLiteral("/sub"));
        fx.w->mnuOPEN_Click(fx.home.filePath(QStringLiteral("projects")) + QStringLiteral("/") + typed);
        QCOMPARE(fx.w->s.ProjectFolder, path);
        QCOMPARE(fx.w->s.ProjectName, name);
        QCOMPARE(fx.w->s.DataFolder, fx.native(QStringLiteral("data/") + name));
        QVERIFY(QFileInfo::exists(fx.w->s.DataFolder));
        QCOMPARE(fx.w->s.RecentList, listed ? QStringLiteral("~") + path + QStringLiteral("~") : QString());
        if (!listed)
            return;
        QCOMPARE(menuCaptions(), QStringList{path});
        fx.w->mnuOPEN_Click(folder(QStringLiteral("other")));
        fx.w->mnMRU[1]->trigger();
        QCOMPARE(fx.w->s.ProjectFolder, path);
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void aRecentFolderThatIsGoneIsReportedAndKept()
    {
        const QString gone = fx.native(QStringLiteral("gone"));
        storeRecentList(QStringLiteral("~") + gone + QStringLiteral("~"));
        fx.restart();
        fx.w->mnMRU[0]->trigger();
        QCOMPARE(fx.w->s.ProjectFolder, gone);
        QCOMPARE(fx.w->windowTitle(), QStringLiteral("Plintor (1.3.0) - gone"));
        QCOMPARE(fx.scope->script.reports.size(), 1);
        const QStringList lines = fx.scope->script.reports[0].split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("Error 76"));
        QCOMPARE(lines[1], QStringLiteral("Path not found: ") + gone);
        QCOMPARE(lines[2], QStringLiteral("Location: Plintor.mGENERAL.LOADCARDS"));
        QVERIFY(lines[3].startsWith(QStringLiteral("Line ")));
        QCOMPARE(menuCaptions(), QStringList{gone});
    }

    void thePanelClosesWithAClick()
    {
        fx.w->show();
        fx.w->fraCOMMAND->show();
        QTest::mouseClick(fx.w->cmdCLOSE, Qt::LeftButton);
        QVERIFY(fx.w->fraCOMMAND->isHidden());
    }

    // The real box: its text, buttons and order, Escape refused, and no handler while it is up.
    void theRealErrorBox()
    {
        fx.scope.reset(); // real dialogs
        fx.w->show();
        fx.w->fraCOMMAND->show();
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
            emit fx.w->cmdCLOSE->clicked();
            panelStayed = fx.w->fraCOMMAND->isVisible();
            QPushButton* which = box->findChild<QPushButton*>(shown == 1 ? QStringLiteral("Retry") : QStringLiteral("Ignore"));
            QTest::mouseClick(which, Qt::LeftButton);
            if (shown == 1)
                QTimer::singleShot(20, answer);
        };
        QTimer::singleShot(20, answer);
        const QString gone = fx.native(QStringLiteral("nowhere"));
        fx.w->mnuOPEN_Click(gone);
        QCOMPARE(shown, 2); // Retry failed again and showed the report again
        QCOMPARE(caption, QStringLiteral("Plintor"));
        QVERIFY(iconless);
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Abort"), QStringLiteral("&Retry"), QStringLiteral("&Ignore")}));
        QVERIFY(abortIsDefault);
        QVERIFY(stayedOnEscape);
        QVERIFY(panelStayed);
        QVERIFY(text.startsWith(QStringLiteral("Error 76\r\nPath not found: ") + gone));
        // Ignore went on: the empty card row is there.
        QCOMPARE(fx.w->vsCARDS->rows(), 2);
        QTest::mouseClick(fx.w->cmdCLOSE, Qt::LeftButton);
        QVERIFY(fx.w->fraCOMMAND->isHidden());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
