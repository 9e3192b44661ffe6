#pragma once
#include <QMainWindow>
#include <QMenu>
#include <array>
#include <memory>

#include "app/mGENERAL.h"
#include "app/mMRU.h"
#include "app/options.h"
#include "app/playlistmodel.h"
#include "app/remotesurface.h"
#include "playlist/engine.h"
#include "playlist/runningorder.h"
#include "project/state.h"
#include "server/link.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "ui/statusbar.h"
#include "ui/tabcontrol.h"
#include "ui/tree.h"

namespace remote {
class OscControl;
class OscFeedback;
class Companion;
} // namespace remote

namespace app {

/// The main window: the program's only window, its controls and its event handlers.
class frmMAIN : public QMainWindow {
    Q_OBJECT
public:
    /// Creates the window and runs its initialize and load events; a project the options name
    /// opens as soon as events are handled, as "&Open" would.
    explicit frmMAIN(const Options& options = {});
    ~frmMAIN() override;

private:
    // The general module's loaders and writers fill and read the window's controls as its own
    // handlers do, and the remote surface acts through the handlers the operator's clicks run.
    friend void mGENERAL::LOADCARDS(frmMAIN& f);
    friend void mGENERAL::LOADDATASET(frmMAIN& f, const QString& cardFile);
    friend void mGENERAL::SAVEDATASET(frmMAIN& f, const QString& file, bool withTags);
    friend void mGENERAL::LOADTAGS(frmMAIN& f, const QString& file, const QStringList* read);
    friend void mGENERAL::LOADTREELIST(frmMAIN& f);
    friend void mGENERAL::LOADPLAYLIST(frmMAIN& f);
    friend void mGENERAL::SavePlayList(frmMAIN& f);
    friend class RemoteSurface;
    // Steps the handlers share.
    friend void SelectCard(frmMAIN& f);
    friend void SelectDataset(frmMAIN& f);
    friend void FocusCue(frmMAIN& f, const ui::Grid* focused);
    friend void ClearChannel(frmMAIN& f, short Index);

    project::State s;

    // On the window
    ui::TabControl* tbMAIN;
    ui::Frame* Frame1;
    ui::Frame* fraCOMMAND;
    ui::Frame* Frame2;
    ui::Timer* tmrCASPAR;

    // In Frame1
    ui::TextBox* txtGASPARIP;
    ui::TextBox* txtGASPARPORT;
    ui::Button* cmdGASPARCONNECT;
    std::array<ui::Button*, 6> cmdCLEAR;
    ui::Label* Label2;
    ui::DropDown* cmbPREVIEW;

    // In fraCOMMAND and Frame2
    ui::MultiLineTextBox* txtCOMMAND;
    ui::Button* cmdCLOSE;
    std::array<ui::Picture*, 4> imgTYPE;

    // Page 0, "Editor"
    std::array<ui::Label*, 3> Label1;
    ui::Grid* vsCARDS;
    ui::Grid* vsDATASET;
    ui::Grid* vsTAGS;
    ui::Button* cmdADDDATASET;
    ui::Button* cmdDELETEDATASET;
    ui::ListBox* cmbINVOKES;
    ui::Button* cmdAIR;

    // Page 1, "Play list"
    ui::Tree* trLIST;
    ui::Grid* vsPLAYLIST;

    /// At the window's foot: the link in words and the last refusal.
    ui::StatusBar* sbSTATUS;

    // Menus
    QMenu* mnProject;
    ui::MenuItem* mnuOPEN;
    ui::MenuItem* mnSEP1;
    mMRU::MenuItems mnMRU;
    ui::MenuItem* mnPROJECTTITLE;
    std::array<ui::MenuItem*, 5> mnCLEARCHANNEL; // 1 to 4
    QMenu* mnDELPLAYLIST;
    ui::MenuItem* mnREMOVEITEMPLAYLIST;
    QMenu* mnCLEARLAYER;
    ui::MenuItem* mnClearLAYERONAIR;
    ui::MenuItem* mnCLEARLAYERPREVIEW;

    // Handlers
    void Form_Initialize();
    void Form_Load();
    void Form_Unload();
    void tbMAIN_Click();
    void cmdCLOSE_Click();
    /// chosen: a folder the operator already named (on the command line); empty shows the picker.
    void mnuOPEN_Click(const QString& chosen = QString());
    void mnMRU_Click(short Index);

    // Handlers of the editor page: the card list, the dataset and tag grids
    void vsCARDS_Click();
    void vsCARDS_RowColChange();
    void vsCARDS_AfterSort(int Col, int Order);
    void vsCARDS_GotFocus();
    void vsDATASET_BeforeEdit(int Row, int Col, bool& Cancel);
    void vsDATASET_ValidateEdit(int Row, int Col, bool& Cancel);
    void vsDATASET_AfterEdit(int Row, int Col);
    void vsDATASET_Click();
    void vsDATASET_RowColChange();
    void vsDATASET_AfterSort(int Col, int Order);
    void vsDATASET_GotFocus();
    void vsTAGS_BeforeEdit(int Row, int Col, bool& Cancel);
    void vsTAGS_ValidateEdit(int Row, int Col, bool& Cancel);
    void vsTAGS_AfterEdit(int Row, int Col);
    void vsTAGS_EnterCell();
    void vsTAGS_CellButtonClick(int Row, int Col);
    void vsTAGS_GotFocus();
    void cmdADDDATASET_Click();
    void cmdDELETEDATASET_Click();
    /// Set while a loader fills the card, dataset or tag grid: that grid's own events stay quiet.
    bool LoadingCards = false;
    bool LoadingDatasets = false;
    bool LoadingTags = false;
    /// What the editor's grids were last loaded for, and in which operator action: a handler
    /// leaves a selection that this action has loaded already, however many grid events the
    /// action raises; the next action loads it anew, since files may change between two clicks.
    struct Loaded {
        short card = -1;
        QString dataset;
        quint64 action = 0;
        bool operator==(const Loaded&) const = default;
    };
    Loaded CardLoaded;
    Loaded DatasetLoaded;

    // Handlers of the server link and the on-air commands
    server::Link* wsGASPAR;
    /// The one road to air: every line goes out through it, and it keeps the marks.
    playlist::Engine* Engine;
    /// The watch timer's blink phase: kept across ticks, disconnects and reconnects.
    short BlinkPhase = 0;
    void cmdGASPARCONNECT_Click();
    void tmrCASPAR_Timer();
    void cmdAIR_Click();
    void cmbINVOKES_DblClick();
    /// The server answered the line of ticket (0: no line is certain); a refusal is shown, and
    /// marks the playlist step whose line it was.
    void wsGASPAR_Answered(const server::Answer& answer, quint64 ticket, const QByteArray& line);
    /// The status bar's words for the link.
    void ShowLinkState();
    /// The server's answer to the last line it refused.
    QString LastRefusal;

    // Remote control, when the command line asks for it
    /// Listens and sends as options say; a port that cannot be had is reported.
    void StartRemote(const Options& options);
    /// What a control surface sees changed: the tally goes out once the action is done.
    void RemoteChanged();
    std::unique_ptr<RemoteSurface> Remote;
    std::unique_ptr<remote::OscFeedback> OscOut;
    std::unique_ptr<remote::Companion> CompanionOut;
    std::unique_ptr<remote::OscControl> OscIn;
    bool RemotePending = false;

    // The playlist page: the tree, the grid's mouse handling, the on-air marks, firing and clears
    /// The playlist's mouse state.
    bool Dragging = false;
    short DragRow = 0;
    short DropRow = 0;
    short HoverRow = 0;
    void trLIST_DblClick();
    /// Button: 1 the left button alone, 2 the right alone; anything else matches no rule.
    void vsPLAYLIST_MouseDown(short Button, short Shift, float X, float Y);
    void vsPLAYLIST_MouseMove(short Button, short Shift, float X, float Y);
    void vsPLAYLIST_MouseUp(short Button, short Shift, float X, float Y);
    void mnREMOVEITEMPLAYLIST_Click();
    /// Keys of the playlist: the arrows, Home, End, PgUp and PgDn move the cue; Return, Enter
    /// and Space fire it (with Shift, on preview); F12 clears its layer (with Shift, on preview).
    /// Repeat: the press repeats a held key, which fires and clears nothing.
    void vsPLAYLIST_KeyDown(short KeyCode, short Shift, bool Repeat);
    /// Return on a dataset adds it to the playlist, as a double-click does.
    void trLIST_KeyDown(short KeyCode, short Shift, bool Repeat);
    /// The running order: the playlist's entries, the cue and what is on air; the playlist grid
    /// renders it through PlaylistCells.
    playlist::RunningOrder Playlist;
    PlaylistModel* PlaylistCells;
    /// Moves the cue, a page being the rows the grid shows; with no cue yet, any move puts it on
    /// the first step of the first entry.
    void MoveCue(playlist::CueMove move);
    void ColorMe();
    /// Fires step Step of entry Entry (both from 0), on air or on the preview channel: the one
    /// way a step goes out, for the mouse, the keys and remote control.
    void PLAYLIST_EXEC(int Entry, int Step, bool Preview);
    void cmdCLEAR_Click(short Index);
    void mnCLEARCHANNEL_Click(short Index);
    void mnClearLAYERONAIR_Click();
    void mnCLEARLAYERPREVIEW_Click();
    /// The layer clears for entry Entry: its own channel, or the preview channel.
    void ClearEntryLayer(int Entry, bool Preview);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectHandlers();
    void connectEditorHandlers();
    void createServerControls();
    void connectServerHandlers();
    void connectPlaylistHandlers();
    void openProject(const QString& chosen);
};

} // namespace app
