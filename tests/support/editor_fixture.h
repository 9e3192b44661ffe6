#pragma once
// The one window set-up of the tests: a window over a project folder and its data folder, both
// in one temporary home, with the settings redirected there and modal boxes answered by script.
#include <QTest>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "recorder.h"
#include "scripted.h"
#include "ui/application.h"

struct EditorFixture {
    QTemporaryDir home;
    std::unique_ptr<ScriptScope> scope;
    std::unique_ptr<app::frmMAIN> w;

    QString projectFolder() const { return home.filePath(QStringLiteral("projects/news")); }
    /// A path in the home as the program shows and keeps it: with the platform's separators.
    QString native(const QString& relative) const { return QDir::toNativeSeparators(home.filePath(relative)); }
    QString dataFolder() const { return home.filePath(QStringLiteral("data/news")); }
    QString data(const QString& name) const { return dataFolder() + QLatin1Char('/') + name; }

    void setUp()
    {
        ui::setupApplication();
        redirectSettings(home.filePath(QStringLiteral("config")));
    }
    void start()
    {
        scope = std::make_unique<ScriptScope>();
        QDir(home.filePath(QStringLiteral("projects"))).removeRecursively();
        QDir(home.filePath(QStringLiteral("data"))).removeRecursively();
        QDir().mkpath(projectFolder());
        w = std::make_unique<app::frmMAIN>(options());
    }
    /// What every test window starts with: its data folders under the temporary home.
    app::Options options() const
    {
        app::Options o;
        o.dataRoot = home.filePath(QStringLiteral("data"));
        return o;
    }
    /// A fresh window over the same folders and settings, as after a restart. The new one is
    /// built before the old one goes, as a second start of the program would.
    void restart() { w = std::make_unique<app::frmMAIN>(options()); }
    /// Shows the window on the offscreen screen; false when it never came up.
    bool show()
    {
        w->show();
        return QTest::qWaitForWindowExposed(w.get());
    }
    void stop()
    {
        linked = nullptr;
        w.reset();
        scope.reset();
    }
    void card(const QString& name, const QStringList& lines)
    {
        writeCodePageLines(projectFolder() + QLatin1Char('/') + name + QStringLiteral(".fti"), lines);
    }
    /// A file of the project folder, named in full (card files and others).
    void file(const QString& name, const QStringList& lines)
    {
        writeCodePageLines(projectFolder() + QLatin1Char('/') + name, lines);
    }
    void dataset(const QString& name, const QStringList& lines) { writeCodePageLines(data(name), lines); }
    /// "&Open" with the folder picker answered by folder.
    void openFolder(const QString& folder)
    {
        scope->script.folders.push_back(folder);
        mnuOPEN()->trigger();
    }
    void open() { openFolder(projectFolder()); }

    // ---- The window's controls, found by their names as the operator's tools would ------------
    template <class T> T* control(const QString& objectName) const
    { auto* c = w->findChild<T*>(objectName); if (!c) qFatal("no control %s", qPrintable(objectName)); return c; }
    template <class T> T* control(const char* name, int index) const
    {
        return control<T>(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index));
    }
    ui::TabControl* tbMAIN() const { return control<ui::TabControl>(QStringLiteral("tbMAIN")); }
    ui::Frame* Frame1() const { return control<ui::Frame>(QStringLiteral("Frame1")); }
    ui::Frame* Frame2() const { return control<ui::Frame>(QStringLiteral("Frame2")); }
    ui::Frame* fraCOMMAND() const { return control<ui::Frame>(QStringLiteral("fraCOMMAND")); }
    ui::Timer* tmrCASPAR() const { return control<ui::Timer>(QStringLiteral("tmrCASPAR")); }
    ui::TextBox* txtGASPARIP() const { return control<ui::TextBox>(QStringLiteral("txtGASPARIP")); }
    ui::TextBox* txtGASPARPORT() const { return control<ui::TextBox>(QStringLiteral("txtGASPARPORT")); }
    ui::Button* cmdGASPARCONNECT() const { return control<ui::Button>(QStringLiteral("cmdGASPARCONNECT")); }
    ui::Button* cmdCLEAR(int i) const { return control<ui::Button>("cmdCLEAR", i); }
    ui::DropDown* cmbPREVIEW() const { return control<ui::DropDown>(QStringLiteral("cmbPREVIEW")); }
    ui::MultiLineTextBox* txtCOMMAND() const { return control<ui::MultiLineTextBox>(QStringLiteral("txtCOMMAND")); }
    ui::Button* cmdCLOSE() const { return control<ui::Button>(QStringLiteral("cmdCLOSE")); }
    ui::Grid* vsCARDS() const { return control<ui::Grid>(QStringLiteral("vsCARDS")); }
    ui::Grid* vsDATASET() const { return control<ui::Grid>(QStringLiteral("vsDATASET")); }
    ui::Grid* vsTAGS() const { return control<ui::Grid>(QStringLiteral("vsTAGS")); }
    ui::Button* cmdADDDATASET() const { return control<ui::Button>(QStringLiteral("cmdADDDATASET")); }
    ui::Button* cmdDELETEDATASET() const { return control<ui::Button>(QStringLiteral("cmdDELETEDATASET")); }
    ui::ListBox* cmbINVOKES() const { return control<ui::ListBox>(QStringLiteral("cmbINVOKES")); }
    ui::Button* cmdAIR() const { return control<ui::Button>(QStringLiteral("cmdAIR")); }
    ui::Tree* trLIST() const { return control<ui::Tree>(QStringLiteral("trLIST")); }
    ui::Grid* vsPLAYLIST() const { return control<ui::Grid>(QStringLiteral("vsPLAYLIST")); }
    ui::StatusBar* sbSTATUS() const { return control<ui::StatusBar>(QStringLiteral("sbSTATUS")); }
    QMenu* mnProject() const { return control<QMenu>(QStringLiteral("mnProject")); }
    ui::MenuItem* mnuOPEN() const { return control<ui::MenuItem>(QStringLiteral("mnuOPEN")); }
    ui::MenuItem* mnSEP1() const { return control<ui::MenuItem>(QStringLiteral("mnSEP1")); }
    ui::MenuItem* mnMRU(int i) const { return control<ui::MenuItem>("mnMRU", i); }
    ui::MenuItem* mnPROJECTTITLE() const { return control<ui::MenuItem>(QStringLiteral("mnPROJECTTITLE")); }
    ui::MenuItem* mnCLEARCHANNEL(int i) const { return control<ui::MenuItem>("mnCLEARCHANNEL", i); }
    QMenu* mnDELPLAYLIST() const { return control<QMenu>(QStringLiteral("mnDELPLAYLIST")); }
    ui::MenuItem* mnREMOVEITEMPLAYLIST() const { return control<ui::MenuItem>(QStringLiteral("mnREMOVEITEMPLAYLIST")); }
    ui::MenuItem* mnClearLAYERONAIR() const { return control<ui::MenuItem>(QStringLiteral("mnClearLAYERONAIR")); }
    ui::MenuItem* mnCLEARLAYERPREVIEW() const { return control<ui::MenuItem>(QStringLiteral("mnCLEARLAYERPREVIEW")); }
    server::Link* wsGASPAR() const { return control<server::Link>(QStringLiteral("wsGASPAR")); }
    /// One tick of the watch timer, as its interval ending would raise it.
    void tick() const { QMetaObject::invokeMethod(tmrCASPAR(), "timeout", Qt::DirectConnection); }

    // ---- What the operator reads off the window -------------------------------------------------
    /// The project's name as the menu bar shows it.
    QString projectShown() const { return mnPROJECTTITLE()->text(); }
    /// The recent projects as the "&Project" menu lists them, in the settings' form: "~a~~b~".
    QString recentShown() const
    {
        QString list;
        for (int i = 0; i < int(app::mMRU::kMenuItems); ++i)
            if (mnMRU(i)->isVisible() && mnMRU(i)->isEnabled() && mnMRU(i)->text() != QStringLiteral("MRU"))
                list += QLatin1Char('~') + mnMRU(i)->text() + QLatin1Char('~');
        return list;
    }
    /// The file name of the card the card grid's current row shows; empty without one.
    QString currentCardFile() const
    {
        const int r = vsCARDS()->row();
        return r >= vsCARDS()->fixedRows() && r < vsCARDS()->rows()
                   ? vsCARDS()->textMatrix(r, app::mGENERAL::CardCol::FileName) : QString();
    }
    /// The folders of the project "news" as the window holds them once it is open, for the
    /// general module's procedures that take them.
    project::State folders() const
    {
        project::State s;
        s.ProjectFolder = native(QStringLiteral("projects/news"));
        s.ProjectName = QStringLiteral("news");
        s.DataRoot = native(QStringLiteral("data"));
        s.DataFolder = native(QStringLiteral("data/news"));
        return s;
    }
    /// The card of the card grid's current row: its index in the card table, from 1; 0 without one.
    short currentCard() const
    {
        const int r = vsCARDS()->row();
        return r >= vsCARDS()->fixedRows() && r < vsCARDS()->rows()
                   ? vsCARDS()->textMatrix(r, app::mGENERAL::CardCol::Index).toShort() : short(0);
    }
    /// The dataset file of the dataset grid's current row; empty without one.
    QString currentDataset() const
    {
        const int r = vsDATASET()->row();
        return r >= vsDATASET()->fixedRows() && r < vsDATASET()->rows()
                   ? vsDATASET()->textMatrix(r, app::mGENERAL::DatasetCol::File) : QString();
    }
    QStringList column(const ui::Grid* grid, int col) const
    {
        QStringList cells;
        for (int r = 1; r < grid->rows(); ++r)
            cells << grid->textMatrix(r, col);
        return cells;
    }
    QStringList invokes() const
    {
        QStringList entries;
        for (int i = 0; i < cmbINVOKES()->count(); ++i)
            entries << cmbINVOKES()->entry(i);
        return entries;
    }
    /// Presses "Connect" for the server at port on the loopback interface.
    void connectTo(const QString& port)
    {
        txtGASPARPORT()->setText(port);
        QTest::mouseClick(cmdGASPARCONNECT(), Qt::LeftButton);
    }
    /// Connects to r and waits until it has the connection.
    void connectTo(Recorder& r)
    {
        linked = &r;
        connectTo(r.port());
        QTRY_COMPARE(wsGASPAR()->State(), server::Link::Connected);
        QTRY_COMPARE(r.peers.size(), 1);
    }
    /// The server the last connectTo(Recorder&) linked to.
    Recorder* linked = nullptr;
    QString reports() const { return scope->script.reports.join(QStringLiteral("\n----\n")); }
};
