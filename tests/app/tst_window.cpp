// The main window on the offscreen platform: its controls, project opening, the recent list,
// and the real error box.
#include <QApplication>
#include <QMenu>
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
#include "version.h"

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
        fx.mnuOPEN()->trigger();
    }
    QStringList menuCaptions() const
    {
        QStringList shown;
        for (int i = 0; i < int(app::mMRU::kMenuItems); ++i)
            if (fx.mnMRU(i)->isVisible())
                shown << fx.mnMRU(i)->text();
        return shown;
    }
    // The window's own controls in its client area, those hidden at load left out: the design
    // parks some of them outside their parents.
    QList<QWidget*> shownControls() const
    {
        QList<QWidget*> controls;
        for (QWidget* control : fx.w->centralWidget()->findChildren<QWidget*>())
            if (QByteArray(control->metaObject()->className()).startsWith("ui::") && !control->isHidden())
                controls << control;
        return controls;
    }
    static QString where(const QWidget* control)
    {
        const QRect r = control->geometry();
        return QStringLiteral("%1 at %2, %3, %4 by %5 in %6 by %7")
            .arg(control->objectName())
            .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())
            .arg(control->parentWidget()->width()).arg(control->parentWidget()->height());
    }

private slots:
    void initTestCase() { fx.setUp(); }
    void init()
    {
        storeRecentList(QString());
        fx.start();
    }
    void cleanup() { fx.stop(); }

    // Each control, menu item and the link carry their design names, arrays with their index:
    // that is how the operator's tools and these tests find them.
    void everyControlIsFoundByItsName()
    {
        QStringList names{"tbMAIN", "Frame1", "fraCOMMAND", "Frame2", "tmrCASPAR", "wsGASPAR", "txtGASPARIP",
                          "txtGASPARPORT", "cmdGASPARCONNECT", "Label2", "cmbPREVIEW", "txtCOMMAND", "cmdCLOSE",
                          "vsCARDS", "vsDATASET", "vsTAGS", "cmdADDDATASET", "cmdDELETEDATASET", "cmbINVOKES",
                          "cmdAIR", "trLIST", "vsPLAYLIST", "sbSTATUS", "mnuOPEN", "mnSEP1", "mnPROJECTTITLE",
                          "mnREMOVEITEMPLAYLIST", "mnClearLAYERONAIR", "mnCLEARLAYERPREVIEW"};
        const struct {
            const char* name;
            int first, last;
        } arrays[] = {{"cmdCLEAR", 0, 5}, {"imgTYPE", 0, 3}, {"Label1", 0, 2}, {"mnMRU", 0, 3}, {"mnCLEARCHANNEL", 1, 4}};
        for (const auto& array : arrays)
            for (int i = array.first; i <= array.last; ++i)
                names << QStringLiteral("%1(%2)").arg(QLatin1String(array.name)).arg(i);
        for (const QString& name : std::as_const(names)) {
            const QList<QObject*> found = fx.w->findChildren<QObject*>(name);
            QVERIFY2(found.size() == 1, qPrintable(name));
        }
        for (const char* menu : {"mnProject", "mnDELPLAYLIST", "mnCLEARLAYER"})
            QVERIFY2(fx.w->findChild<QMenu*>(QLatin1String(menu)), menu);
    }

    void startsWithoutAProject()
    {
        QCOMPARE(fx.w->windowTitle(), version::caption());
        QVERIFY(!fx.tbMAIN()->isEnabled());
        QCOMPARE(fx.tbMAIN()->tab(), 0);
        QCOMPARE(fx.tbMAIN()->tabBar()->tabText(0), QStringLiteral("Editor"));
        QCOMPARE(fx.tbMAIN()->tabBar()->tabText(1), QStringLiteral("Play list"));
        QCOMPARE(fx.mnPROJECTTITLE()->text(), QStringLiteral("(none)"));
        QCOMPARE(fx.mnProject()->title(), QStringLiteral("&Project"));
        QCOMPARE(fx.mnuOPEN()->text(), QStringLiteral("&Open"));
        QVERIFY(fx.mnSEP1()->isSeparator());
        QVERIFY(fx.mnSEP1()->text().isEmpty()); // a line only: a style draws a separator's text beside it
        // An empty recent list: one item "MRU", which cannot be picked.
        QCOMPARE(menuCaptions(), QStringList{QStringLiteral("MRU")});
        QVERIFY(!fx.mnMRU(0)->isEnabled());
        QCOMPARE(fx.cmbPREVIEW()->count(), 4);
        QCOMPARE(fx.cmbPREVIEW()->currentText(), QStringLiteral("2"));
        QVERIFY(fx.fraCOMMAND()->isHidden());
        QVERIFY(fx.Frame2()->isHidden());
        QVERIFY(fx.cmdCLEAR(0)->isHidden());
        QCOMPARE(fx.cmdCLEAR(5)->text(), QStringLiteral("?"));
        QCOMPARE(fx.cmdGASPARCONNECT()->text(), QStringLiteral("Connect"));
        QCOMPARE(fx.cmdGASPARCONNECT()->tag, QStringLiteral("connect"));
        QCOMPARE(fx.cmdGASPARCONNECT()->backColor(), ui::palette::LinkIdle);
        QCOMPARE(fx.txtGASPARIP()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(fx.txtGASPARPORT()->text(), QStringLiteral("5250"));
        QVERIFY(!fx.tmrCASPAR()->isActive());
        QCOMPARE(fx.tmrCASPAR()->interval(), 500);
        for (ui::Grid* g : {fx.vsCARDS(), fx.vsDATASET(), fx.vsTAGS(), fx.vsPLAYLIST()})
            QCOMPARE(g->rows() + g->cols(), 0);
        QCOMPARE(fx.mnREMOVEITEMPLAYLIST()->text(), QStringLiteral("Διαγραφή"));
        QVERIFY(!fx.mnDELPLAYLIST()->menuAction()->isVisible());
        QVERIFY(!fx.w->menuBar()->actions().contains(fx.mnCLEARCHANNEL(1)));
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

    void nothingIsCut()
    {
        const QList<QWidget*> controls = shownControls();
        QVERIFY(controls.size() > 20);
        for (const QWidget* control : controls) {
            QRect room = control->parentWidget()->rect();
            // A page takes the width the load gave the tab control as soon as it is shown.
            if (control->parentWidget()->parentWidget() == fx.tbMAIN())
                room.setWidth(fx.tbMAIN()->width());
            QVERIFY2(room.contains(control->geometry()), qPrintable(where(control)));
        }
    }

    // Controls side by side never cover each other. A caption may run under a control beside it,
    // and rounding twips to pixels leaves seams of one pixel; the command strip stands in the tab
    // control's row, clear of its tabs.
    void noControlCoversAnother()
    {
        const QList<QWidget*> controls = shownControls();
        for (qsizetype i = 0; i < controls.size(); ++i)
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                const QWidget* a = controls[i];
                const QWidget* b = controls[j];
                const QRect both = a->geometry() & b->geometry();
                if (a->parentWidget() != b->parentWidget() || both.isEmpty())
                    continue;
                if (qobject_cast<const ui::Label*>(a) || qobject_cast<const ui::Label*>(b))
                    continue;
                if (both.width() == 1 || both.height() == 1)
                    continue;
                const bool stripOverTabs = (a == fx.Frame1() && b == fx.tbMAIN()) || (a == fx.tbMAIN() && b == fx.Frame1());
                QVERIFY2(stripOverTabs, qPrintable(where(a) + QStringLiteral(" covers ") + where(b)));
            }
        const QRect tabs = fx.tbMAIN()->tabBar()->geometry().translated(fx.tbMAIN()->pos());
        QVERIFY(!fx.Frame1()->geometry().intersects(tabs));
    }

    void theWindowIsSizedAtLoad()
    {
        QCOMPARE(fx.w->centralWidget()->size(), QSize(894, 738));
        // Resized at load, the tab control keeps the design's margins: 80 twips at the right, a
        // strip at the bottom.
        const QRect client = fx.w->centralWidget()->rect();
        const QRect tabs = fx.tbMAIN()->geometry();
        const int right = client.right() - tabs.right();
        QVERIFY2(right >= ui::pixels(80) && right <= ui::pixels(80) + 1, qPrintable(where(fx.tbMAIN())));
        QVERIFY2(tabs.bottom() < client.bottom(), qPrintable(where(fx.tbMAIN())));
        // The status bar lies below the design's client area, which it does not change.
        QCOMPARE(fx.sbSTATUS()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(fx.w->height(), fx.w->menuBar()->sizeHint().height() + 738 + fx.sbSTATUS()->sizeHint().height());
        QCOMPARE(fx.sbSTATUS()->link(), QString("Not connected"));
    }

    void theConnectButtonShowsItsColourExactly()
    {
        // The program's colour values hold red in the low byte, both ways.
        QCOMPARE(ui::vbColor(ui::rgb(255, 128, 0)), QColor(255, 128, 0));
        QCOMPARE(ui::vbValue(QColor(255, 128, 0)), ui::rgb(255, 128, 0));
        fx.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx.w.get()));
        const QImage shot = fx.cmdGASPARCONNECT()->grab().toImage();
        QCOMPARE(shot.pixelColor(4, 4), ui::vbColor(ui::palette::LinkIdle));
        fx.cmdGASPARCONNECT()->setBackColor(ui::palette::LinkUp);
        QCOMPARE(fx.cmdGASPARCONNECT()->grab().toImage().pixelColor(4, 4), ui::vbColor(ui::palette::LinkUp));
    }

    void openingAProject()
    {
        // The project before, its playlist shown.
        const QString before = folder(QStringLiteral("before"));
        writeCodePageLines(before + QStringLiteral("/card.fti"), {QStringLiteral("CARDTITLE:Card")});
        pickAndOpen(before);
        writeRaw(fx.home.filePath(QStringLiteral("data/before/card_a.ftd")), "TITLE~A\r\n");
        writeRaw(fx.home.filePath(QStringLiteral("data/before/playlist.dat")), "card_a.ftd\r\n");
        fx.tbMAIN()->setTab(1);
        QCOMPARE(fx.vsPLAYLIST()->rows() - fx.vsPLAYLIST()->fixedRows(), 1);
        QVERIFY(fx.vsPLAYLIST()->cols() > 0);

        const QString news = folder(QStringLiteral("news"));
        writeCodePageLines(news + QStringLiteral("/title.fti"), {QStringLiteral("CARDTITLE:Τίτλος")});
        pickAndOpen(news);
        QCOMPARE(fx.scope->script.folderPicks, 2);
        QCOMPARE(fx.w->windowTitle(), version::caption() + QStringLiteral(" - news"));
        QCOMPARE(fx.mnPROJECTTITLE()->text(), QStringLiteral("news"));
        QVERIFY(fx.tbMAIN()->isEnabled());
        QCOMPARE(fx.tbMAIN()->tab(), 0);
        QCOMPARE(fx.mnMRU(0)->text(), news);
        QVERIFY(QFileInfo(fx.native(QStringLiteral("data/news"))).isDir());
        // The old project's running order is gone from the page until it is shown again.
        QCOMPARE(fx.vsPLAYLIST()->rows() - fx.vsPLAYLIST()->fixedRows() + fx.vsPLAYLIST()->cols(), 0);
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::Title), QStringLiteral("Τίτλος"));
        QCOMPARE(menuCaptions(), (QStringList{news, before}));
        QVERIFY(fx.mnMRU(0)->isEnabled());
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.scope->script.reports.join(QLatin1Char('\n'))));
    }

    // A project named on the command line opens once the window handles events, without the picker.
    void aProjectNamedAtStartOpens()
    {
        const QString news = folder(QStringLiteral("news"));
        writeCodePageLines(news + QStringLiteral("/title.fti"), {QStringLiteral("CARDTITLE:Τίτλος")});
        app::Options options = fx.options();
        options.project = news;
        fx.w = std::make_unique<app::frmMAIN>(options);
        QCOMPARE(fx.w->windowTitle(), version::caption());
        QTRY_COMPARE(fx.w->windowTitle(), version::caption() + QStringLiteral(" - news"));
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::Title), QStringLiteral("Τίτλος"));
        QCOMPARE(menuCaptions(), QStringList{news});
        QCOMPARE(fx.scope->script.folderPicks, 0);
    }

    void aClickBelowTheRowsKeepsTheSelectedRow()
    {
        const QString news = folder(QStringLiteral("below"));
        writeCodePageLines(news + QStringLiteral("/a.fti"), {QStringLiteral("CARDTITLE:A")});
        writeCodePageLines(news + QStringLiteral("/b.fti"), {QStringLiteral("CARDTITLE:B")});
        fx.w->show();
        pickAndOpen(news);
        QTest::mouseClick(fx.vsCARDS()->viewport(), Qt::LeftButton, {}, QPoint(40, fx.vsCARDS()->viewport()->height() - 5));
        QCOMPARE(fx.vsCARDS()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(fx.vsCARDS()->row(), 1);
    }

    void cancellingThePickerChangesNothing()
    {
        pickAndOpen(QString());
        QCOMPARE(fx.w->windowTitle(), version::caption());
        QVERIFY(!fx.tbMAIN()->isEnabled());
        QCOMPARE(fx.recentShown(), QString());
        QCOMPARE(fx.vsCARDS()->rows(), 0);
    }

    void recentItemsOpenAndMoveToTheFront()
    {
        const QString a = folder(QStringLiteral("a")), b = folder(QStringLiteral("b")), c = folder(QStringLiteral("c"));
        for (const QString& p : {a, b, c})
            pickAndOpen(p);
        QCOMPARE(menuCaptions(), (QStringList{c, b, a}));
        fx.mnMRU(2)->trigger();
        QCOMPARE(fx.w->windowTitle(), version::caption() + QStringLiteral(" - a"));
        QCOMPARE(menuCaptions(), (QStringList{a, c, b}));
        const QString before = fx.recentShown();
        fx.mnMRU(0)->trigger(); // the first again: the list stays as it is
        QCOMPARE(fx.recentShown(), before);
    }

    void aSixthFolderDropsTheOldest()
    {
        QStringList opened;
        for (int i = 1; i <= 6; ++i) {
            opened.prepend(folder(QStringLiteral("p%1").arg(i)));
            pickAndOpen(opened.front());
        }
        QCOMPARE(menuCaptions(), opened.mid(0, 4));
        fx.w->close(); // the list kept is longer than the menu shows
        QCOMPARE(storedRecentList().count(QStringLiteral("~~")), 4); // five entries
        QVERIFY(!storedRecentList().contains(opened.back()));
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
        QVERIFY(fx.mnMRU(0)->isEnabled());
        QCOMPARE(fx.w->windowTitle(), version::caption()); // listed, not reopened
        QCOMPARE(fx.projectShown(), QStringLiteral("(none)"));
    }

    void aRootFolderHasAnEmptyName()
    {
        fx.openFolder(QDir::rootPath());
        QCOMPARE(fx.projectShown(), QString());
        QCOMPARE(fx.mnPROJECTTITLE()->text(), QString());
        QVERIFY(fx.w->windowTitle().endsWith(QStringLiteral(") - ")));
        // Its data folder is the data root itself: nothing is made beside or above it.
        QVERIFY(QFileInfo(fx.home.filePath(QStringLiteral("data"))).isDir());
        QCOMPARE(QDir(fx.home.filePath(QStringLiteral("data"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
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
        fx.openFolder(fx.home.filePath(QStringLiteral("projects")) + QStringLiteral("/") + typed);
        QCOMPARE(fx.projectShown(), name);
        QVERIFY(QFileInfo(fx.native(QStringLiteral("data/") + name)).isDir());
        QCOMPARE(QDir(fx.home.filePath(QStringLiteral("data"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{name});
        QCOMPARE(fx.recentShown(), listed ? QStringLiteral("~") + path + QStringLiteral("~") : QString());
        if (!listed)
            return;
        QCOMPARE(menuCaptions(), QStringList{path});
        fx.openFolder(folder(QStringLiteral("other")));
        fx.mnMRU(1)->trigger();
        QCOMPARE(fx.projectShown(), name);
        QCOMPARE(menuCaptions().value(0), path);
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void aRecentFolderThatIsGoneIsReportedAndKept()
    {
        const QString gone = fx.native(QStringLiteral("gone"));
        storeRecentList(QStringLiteral("~") + gone + QStringLiteral("~"));
        fx.restart();
        fx.mnMRU(0)->trigger();
        QCOMPARE(fx.mnMRU(0)->text(), gone);
        QCOMPARE(fx.w->windowTitle(), version::caption() + QStringLiteral(" - gone"));
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
        fx.fraCOMMAND()->show();
        QTest::mouseClick(fx.cmdCLOSE(), Qt::LeftButton);
        QVERIFY(fx.fraCOMMAND()->isHidden());
    }

    // The real box: its text, buttons and order, Escape refused, and no handler while it is up.
    void theRealErrorBox()
    {
        fx.scope.reset(); // real dialogs
        fx.w->show();
        fx.fraCOMMAND()->show();
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
            emit fx.cmdCLOSE()->clicked();
            panelStayed = fx.fraCOMMAND()->isVisible();
            QPushButton* which = box->findChild<QPushButton*>(shown == 1 ? QStringLiteral("Retry") : QStringLiteral("Ignore"));
            QTest::mouseClick(which, Qt::LeftButton);
            if (shown == 1)
                QTimer::singleShot(20, answer);
        };
        QTimer::singleShot(20, answer);
        // The real boxes, but for the folder picker, which names the folder the operator chose.
        struct RealBoxes : ui::QtDialogs {
            QString folder;
            QString pickFolder(const QString&) override { return folder; }
        } boxes;
        boxes.folder = fx.native(QStringLiteral("nowhere"));
        ui::setDialogs(&boxes);
        fx.mnuOPEN()->trigger();
        ui::setDialogs(nullptr);
        QCOMPARE(shown, 2); // Retry failed again and showed the report again
        QCOMPARE(caption, QStringLiteral("Plintor"));
        QVERIFY(iconless);
        QCOMPARE(buttons, (QStringList{QStringLiteral("&Abort"), QStringLiteral("&Retry"), QStringLiteral("&Ignore")}));
        QVERIFY(abortIsDefault);
        QVERIFY(stayedOnEscape);
        QVERIFY(panelStayed);
        QVERIFY(text.startsWith(QStringLiteral("Error 76\r\nPath not found: ") + boxes.folder));
        // Ignore went on: the empty card row is there.
        QCOMPARE(fx.vsCARDS()->rows(), 2);
        QTest::mouseClick(fx.cmdCLOSE(), Qt::LeftButton);
        QVERIFY(fx.fraCOMMAND()->isHidden());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
