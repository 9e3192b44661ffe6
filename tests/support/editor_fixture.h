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
    void open() { w->mnuOPEN_Click(projectFolder()); }
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
        for (int i = 0; i < w->cmbINVOKES->count(); ++i)
            entries << w->cmbINVOKES->entry(i);
        return entries;
    }
    /// Presses "Connect" for the server at port on the loopback interface.
    void connectTo(const QString& port)
    {
        w->txtGASPARPORT->setText(port);
        QTest::mouseClick(w->cmdGASPARCONNECT, Qt::LeftButton);
    }
    /// Connects to r and waits until it has the connection.
    void connectTo(Recorder& r)
    {
        connectTo(r.port());
        QTRY_COMPARE(w->wsGASPAR->State(), server::Link::Connected);
        QTRY_COMPARE(r.peers.size(), 1);
    }
    QString reports() const { return scope->script.reports.join(QStringLiteral("\n----\n")); }
    template <class T> T* control(const QString& objectName) const
    { auto* c = w->findChild<T*>(objectName); if (!c) qFatal("no control %s", qPrintable(objectName)); return c; }
};
