#include "app/frmMAIN.h"
#include "project/recentlist.h"
#include "remote/companion.h"
#include "remote/osccontrol.h"
#include "remote/oscfeedback.h"

#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>

#include "app/mGENERAL.h"
#include "app/mMRU.h"
#include "fault/trap.h"
#include "fault/vbwProtector.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "ui/colors.h"
#include "ui/dialogs.h"
#include "ui/dispatch.h"
#include "ui/pictures.h"
#include "version.h"

namespace app {

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = fault::linebase::frmMAIN_shell;

constexpr int kClientWidth = 894; // 13410 by 11070 twips
constexpr int kClientHeight = 738;

QString indexed(const char* name, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index); }
} // namespace

frmMAIN::frmMAIN(const Options& options)
{
    setObjectName(QStringLiteral("frmMAIN"));
    setWindowTitle(QStringLiteral("Plintor"));
    QFont small(QStringLiteral("Arial")); // the captions' small design font; the grids set their own
    small.setPointSize(8);
    setFont(small);
    s.DataRoot = dataRootFor(options);
    Form_Initialize();
    createControls();
    createMenus();
    connectHandlers();
    ui::runHandler([this] { Form_Load(); });
    StartRemote(options);
    // A project named on the command line opens once the window is up, as "&Open" would.
    if (!options.project.isEmpty())
        QTimer::singleShot(0, this, [this, folder = options.project] { ui::dispatch([this, &folder] { mnuOPEN_Click(folder); }); });
}

frmMAIN::~frmMAIN()
{
    // The playlist grid and its model go before the running order they show, which as a member
    // is gone before the window's children are.
    vsPLAYLIST->setSource(nullptr);
    delete PlaylistCells;
    vsTAGS->setSource(nullptr);
    delete TagCells;
    vsDATASET->setSource(nullptr);
    delete DatasetCells;
}

void frmMAIN::createControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    tbMAIN = new ui::TabControl(QStringLiteral("tbMAIN"), client);
    tbMAIN->setGeometry(0, 4, 893, 733);
    QWidget* editor = tbMAIN->addPage(QStringLiteral("Editor"));
    QWidget* playlist = tbMAIN->addPage(QStringLiteral("Play list"));

    Frame1 = new ui::Frame(QStringLiteral("Frame1"), false, client);
    Frame1->setGeometry(322, 0, 475, 23);
    txtGASPARIP = new ui::TextBox(QStringLiteral("txtGASPARIP"), QStringLiteral("127.0.0.1"), Frame1);
    txtGASPARIP->setGeometry(6, 4, 69, 19);
    txtGASPARPORT = new ui::TextBox(QStringLiteral("txtGASPARPORT"), QStringLiteral("5250"), Frame1);
    txtGASPARPORT->setGeometry(74, 4, 37, 19);
    cmdGASPARCONNECT = new ui::Button(QStringLiteral("cmdGASPARCONNECT"), QStringLiteral("Connect"), Frame1);
    cmdGASPARCONNECT->setGeometry(114, 0, 71, 23);
    cmdGASPARCONNECT->tag = QStringLiteral("connect");
    cmdGASPARCONNECT->setBackColor(ui::palette::LinkIdle);
    const char* clearCaptions[] = {"Clear", "C1", "C2", "C3", "C4", "?"};
    for (int i = 0; i < 6; ++i)
        cmdCLEAR[size_t(i)] = new ui::Button(indexed("cmdCLEAR", i), QLatin1String(clearCaptions[i]), Frame1);
    cmdCLEAR[0]->setGeometry(158, -10, 51, 23);
    cmdCLEAR[0]->hide();
    for (int i = 1; i <= 4; ++i)
        cmdCLEAR[size_t(i)]->setGeometry(214 + (i - 1) * 26, 0, 23, 23);
    cmdCLEAR[5]->setGeometry(334, 0, 23, 23);
    Label2 = new ui::Label(QStringLiteral("Label2"), QStringLiteral("Preview"), Frame1);
    Label2->setGeometry(376, 6, 43, 13);
    cmbPREVIEW = new ui::DropDown(QStringLiteral("cmbPREVIEW"), Frame1);
    cmbPREVIEW->setGeometry(418, 2, 39, 21);

    fraCOMMAND = new ui::Frame(QStringLiteral("fraCOMMAND"), true, client);
    fraCOMMAND->setGeometry(80, 96, 717, 385);
    txtCOMMAND = new ui::MultiLineTextBox(QStringLiteral("txtCOMMAND"), fraCOMMAND);
    txtCOMMAND->setGeometry(8, 16, 699, 335);
    cmdCLOSE = new ui::Button(QStringLiteral("cmdCLOSE"), QStringLiteral("Close"), fraCOMMAND);
    cmdCLOSE->setGeometry(638, 354, 57, 25);
    fraCOMMAND->hide();

    Frame2 = new ui::Frame(QStringLiteral("Frame2"), true, client);
    Frame2->setGeometry(824, 52, 117, 177);
    for (int i = 0; i < 4; ++i) {
        imgTYPE[size_t(i)] = new ui::Picture(indexed("imgTYPE", i), ui::cardTypePicture(i), Frame2);
        imgTYPE[size_t(i)]->setGeometry(8 + i * 24, 16, 16, 16);
    }
    Frame2->hide();

    tmrCASPAR = new ui::Timer(QStringLiteral("tmrCASPAR"), 500, this);

    const char* labelCaptions[] = {"Cards", "Dataset", "Tags"};
    for (int i = 0; i < 3; ++i)
        Label1[size_t(i)] = new ui::Label(indexed("Label1", i), QLatin1String(labelCaptions[i]), editor);
    Label1[0]->setGeometry(12, 30, 57, 11);
    Label1[1]->setGeometry(248, 30, 57, 11);
    Label1[2]->setGeometry(436, 28, 57, 13);
    vsCARDS = new ui::Grid(QStringLiteral("vsCARDS"), {.rowSelection = true, .headerSort = true}, editor);
    vsCARDS->setGeometry(4, 44, 239, 567);
    vsDATASET = new ui::Grid(QStringLiteral("vsDATASET"), {.rowSelection = true, .headerSort = true, .editable = true}, editor);
    vsDATASET->setGeometry(246, 44, 185, 681);
    vsTAGS = new ui::Grid(QStringLiteral("vsTAGS"), {.rowSelection = true, .editable = true, .ellipsis = true}, editor);
    vsTAGS->setGeometry(434, 44, 453, 681);
    DatasetCells = new DatasetModel(Doc, this);
    vsDATASET->setSource(DatasetCells);
    TagCells = new TagModel(Doc, this);
    vsTAGS->setSource(TagCells);
    cmdADDDATASET = new ui::Button(QStringLiteral("cmdADDDATASET"), QStringLiteral("+"), editor);
    cmdADDDATASET->setGeometry(292, 26, 17, 17);
    cmdDELETEDATASET = new ui::Button(QStringLiteral("cmdDELETEDATASET"), QStringLiteral("-"), editor);
    cmdDELETEDATASET->setGeometry(312, 26, 17, 17);
    cmbINVOKES = new ui::ListBox(QStringLiteral("cmbINVOKES"), editor);
    cmbINVOKES->setGeometry(8, 616, 125, 108);
    cmdAIR = new ui::Button(QStringLiteral("cmdAIR"), QStringLiteral("On Air"), editor);
    cmdAIR->setGeometry(146, 656, 41, 23);

    trLIST = new ui::Tree(QStringLiteral("trLIST"), playlist);
    trLIST->setGeometry(4, 28, 201, 701);
    vsPLAYLIST = new ui::Grid(QStringLiteral("vsPLAYLIST"), {.rowSelection = false, .ellipsis = true, .mouseEvents = true, .keyEvents = true},
                              playlist);
    // One pixel narrower than first drawn, which its page cut off.
    vsPLAYLIST->setGeometry(206, 28, 682, 701);
    std::array<QPixmap, 4> typePictures;
    for (size_t i = 0; i < typePictures.size(); ++i)
        typePictures[i] = imgTYPE[i]->pixmap();
    PlaylistCells = new PlaylistModel(Playlist, typePictures, this);
    vsPLAYLIST->setSource(PlaylistCells);

    sbSTATUS = new ui::StatusBar(QStringLiteral("sbSTATUS"), this);
    setStatusBar(sbSTATUS);
    createServerControls();

    // Qt keeps per-class fonts for some controls; the design's small font is set on each.
    const auto inGrid = [](const QWidget* control) {
        for (; control; control = control->parentWidget())
            if (qobject_cast<const ui::Grid*>(control))
                return true;
        return false;
    };
    for (QWidget* control : client->findChildren<QWidget*>())
        if (!inGrid(control))
            control->setFont(font());

    // The strip lies in the tab control's header row, over the tab control but not part of it.
    Frame1->raise();
    fraCOMMAND->raise();
}

void frmMAIN::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    mnProject = bar->addMenu(QStringLiteral("&Project"));
    mnProject->setObjectName(QStringLiteral("mnProject"));
    mnProject->menuAction()->setObjectName(QStringLiteral("mnProject"));
    mnuOPEN = new ui::MenuItem(QStringLiteral("mnuOPEN"), QStringLiteral("&Open"), mnProject);
    mnProject->addAction(mnuOPEN);
    mnSEP1 = new ui::MenuItem(QStringLiteral("mnSEP1"), QString(), mnProject);
    mnSEP1->setSeparator(true);
    mnProject->addAction(mnSEP1);
    for (int i = 0; i < int(mnMRU.size()); ++i) {
        mnMRU[size_t(i)] = new ui::MenuItem(indexed("mnMRU", i), QStringLiteral("MRU"), mnProject);
        mnMRU[size_t(i)]->setVisible(i == 0);
        mnProject->addAction(mnMRU[size_t(i)]);
    }
    mnPROJECTTITLE = new ui::MenuItem(QStringLiteral("mnPROJECTTITLE"), QStringLiteral("(none)"), bar);
    bar->addAction(mnPROJECTTITLE);


    mnDELPLAYLIST = bar->addMenu(QStringLiteral("mnDELPLAYLIST"));
    mnDELPLAYLIST->setObjectName(QStringLiteral("mnDELPLAYLIST"));
    mnDELPLAYLIST->menuAction()->setVisible(false);
    mnREMOVEITEMPLAYLIST =
        new ui::MenuItem(QStringLiteral("mnREMOVEITEMPLAYLIST"), QStringLiteral("Διαγραφή"), mnDELPLAYLIST);
    mnDELPLAYLIST->addAction(mnREMOVEITEMPLAYLIST);

    mnCLEARLAYER = bar->addMenu(QStringLiteral("mnCLEARLAYER"));
    mnCLEARLAYER->setObjectName(QStringLiteral("mnCLEARLAYER"));
    mnCLEARLAYER->menuAction()->setVisible(false);
    mnClearLAYERONAIR = new ui::MenuItem(QStringLiteral("mnClearLAYERONAIR"), QStringLiteral("Clear OnAir"), mnCLEARLAYER);
    mnCLEARLAYERPREVIEW =
        new ui::MenuItem(QStringLiteral("mnCLEARLAYERPREVIEW"), QStringLiteral("Clear Preview"), mnCLEARLAYER);
    mnCLEARLAYER->addAction(mnClearLAYERONAIR);
    mnCLEARLAYER->addAction(mnCLEARLAYERPREVIEW);
    // The channel clears stay out of the menu bar; the playlist's pop-up offers them after the
    // layer clears.
    mnCLEARLAYER->addSeparator();
    mnCLEARCHANNEL[0] = nullptr;
    for (int i = 1; i <= 4; ++i) {
        mnCLEARCHANNEL[size_t(i)] =
            new ui::MenuItem(indexed("mnCLEARCHANNEL", i), QStringLiteral("C%1").arg(i), mnCLEARLAYER);
        mnCLEARLAYER->addAction(mnCLEARCHANNEL[size_t(i)]);
    }

    // The status bar adds its height below the design's client area; nothing in it moves.
    resize(kClientWidth, kClientHeight + bar->sizeHint().height() + sbSTATUS->sizeHint().height());
}

void frmMAIN::connectHandlers()
{
    connect(tbMAIN, &ui::TabControl::click, this, [this] { ui::dispatch([this] { tbMAIN_Click(); }); });
    connect(cmdCLOSE, &QPushButton::clicked, this, [this] { ui::dispatch([this] { cmdCLOSE_Click(); }); });
    connect(mnuOPEN, &QAction::triggered, this, [this] { ui::dispatch([this] { mnuOPEN_Click(); }); });
    for (short i = 0; i < short(mnMRU.size()); ++i)
        connect(mnMRU[size_t(i)], &QAction::triggered, this, [this, i] { ui::dispatch([this, i] { mnMRU_Click(i); }); });
    connectEditorHandlers();
    connectServerHandlers();
    connectPlaylistHandlers();
}

void frmMAIN::closeEvent(QCloseEvent* event)
{
    // What was typed is saved before the window goes; a refused text keeps it open. A close
    // comes without a press of the program's: each is an action of its own, so that a second
    // try says again why it is refused.
    ui::beginActionOutsideHandlers();
    if (!ui::finishOpenEdit())
        return event->ignore();
    ui::runHandler([this] { Form_Unload(); });
    event->accept();
}

// ---- Handlers -------------------------------------------------------------------------------

void frmMAIN::Form_Initialize()
{
    // The trap asks the operator through the window's boxes.
    ui::installTrapOperator();
    fault::vbwProtector::vbwInitializeProtector();
}

void frmMAIN::Form_Load()
{
    ARM_TRAP();
    mMRU::ReadMRU(s);
    setWindowTitle(version::caption());
    // The outer height as the design knew it, without the status bar below.
    tbMAIN->resize(ui::pixels(ui::twips(frameGeometry().width()) - 80),
                   ui::pixels(ui::twips(frameGeometry().height() - sbSTATUS->sizeHint().height()) -
                              ui::twips(tbMAIN->y()) - 400));
    tbMAIN->setEnabled(false);
    mMRU::DisplayMRU(s, mnMRU);
    cmbPREVIEW->clear();
    for (const char* channel : {"1", "2", "3", "4"})
        cmbPREVIEW->addItem(QLatin1String(channel));
    cmbPREVIEW->setCurrentIndex(1);
    tbMAIN->setTab(0);
}

void frmMAIN::Form_Unload()
{
    ARM_TRAP();
    mMRU::SaveMRU(s);
}

void frmMAIN::tbMAIN_Click()
{
    ARM_TRAP();
    if (tbMAIN->tab() == 1) {
        mGENERAL::LOADTREELIST(*this);
        // A playlist that could not be read is read again, once its cause may be gone.
        if (!Playlist.isLoaded() || Playlist.unread())
            mGENERAL::LOADPLAYLIST(*this);
    }
}

void frmMAIN::cmdCLOSE_Click()
{
    ARM_TRAP();
    fraCOMMAND->setVisible(false);
}

void frmMAIN::mnuOPEN_Click(const QString& chosen)
{
    ARM_TRAP();
    QString path;
    path = chosen.isEmpty() ? mGENERAL::SelectFolder() : chosen;
    if (path.isEmpty())
        return;
    openProject(path);
}

void frmMAIN::mnMRU_Click(short Index)
{
    ARM_TRAP();
    QString path;
    // The item shows this entry of the recent list; the list, not the caption, is the truth.
    const QStringList recent = project::recentlist::items(s.RecentList);
    if (Index >= 0 && Index < recent.size())
        path = recent[Index];
    if (path.isEmpty())
        return;
    openProject(path);
}

// The steps both opening handlers share. None of them can fail here: what can fail
// (loading the cards) runs in procedures that carry their own traps.
void frmMAIN::openProject(const QString& chosen)
{
    // As typed, "news/" would name no project and "news/.." a data folder above the data root.
    const QString path = project::paths::normalFolder(chosen);
    s.ProjectFolder = path;
    mMRU::AddMRU(s, path);
    mMRU::DisplayMRU(s, mnMRU);
    s.ProjectName = mGENERAL::GetFilenameFromPath(path);
    s.DataFolder = s.DataRoot + QDir::separator() + s.ProjectName;
    mGENERAL::FillDataFolder(s);
    mnPROJECTTITLE->setText(s.ProjectName);
    setWindowTitle(version::caption() + QStringLiteral(" - ") + s.ProjectName);
    Playlist.unload();
    PlaylistCells->setColumns(0);
    mGENERAL::LOADCARDS(*this);
    tbMAIN->setTab(0);
    tbMAIN->setEnabled(true);
}

} // namespace app
