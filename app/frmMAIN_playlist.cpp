// The playlist page's handlers: the tree's double-click, the grid's mouse, the on-air marks,
// firing steps and the clears.
#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "project/convert.h"
#include "ui/dispatch.h"
#include "ui/keys.h"

namespace app {

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = fault::linebase::frmMAIN_playlist;
using namespace mGENERAL::PlaylistCol;
using playlist::CueMove;

/// The index of the button "?", which shows the command panel instead of clearing.
constexpr short kShowCommand = 5;
/// The hover outline: black, 2 pixels on each edge, no inner lines.
constexpr quint32 kOutlineColour = 0;
constexpr int kOutline = 2;

bool OverTitle(int col) { return col == Type || col == Description; }

} // namespace

// The channel clear the buttons and the pop-up's items share.
void ClearChannel(frmMAIN& f, short Index)
{
    CALLERS_TRAP();
    if (Index == kShowCommand) {
        f.fraCOMMAND->setVisible(true);
        return;
    }
    // With the link down nothing is sent and nothing comes off the air.
    STEP(f.Engine->clearChannel(Index));
}

namespace {

// Row r across all columns becomes the selection.
void SelectRow(ui::Grid& grid, int r)
{
    grid.setRow(r);
    grid.setCol(DatasetFile);
    grid.selectTo(r, grid.cols() - 1);
}
} // namespace

void frmMAIN::connectPlaylistHandlers()
{
    // The cue stays in view wherever it goes.
    connect(&Playlist, &playlist::RunningOrder::cueChanged, this, [this](auto, playlist::RunningOrder::Cue to) {
        if (to.entry >= 0 && PlaylistModel::colOf(to.step) < vsPLAYLIST->cols())
            vsPLAYLIST->showCell(PlaylistModel::rowOf(to.entry), PlaylistModel::colOf(to.step));
    });
    connect(trLIST, &ui::Tree::dblClick, this, [this] { ui::dispatch([this] { trLIST_DblClick(); }); });
    connect(vsPLAYLIST, &ui::Grid::mouseDown, this, [this](short b, short sh, float x, float y) {
        ui::dispatch([&] { vsPLAYLIST_MouseDown(b, sh, x, y); });
    });
    connect(vsPLAYLIST, &ui::Grid::mouseMove, this, [this](short b, short sh, float x, float y) {
        ui::dispatch([&] { vsPLAYLIST_MouseMove(b, sh, x, y); });
    });
    connect(vsPLAYLIST, &ui::Grid::mouseUp, this, [this](short b, short sh, float x, float y) {
        ui::dispatch([&] { vsPLAYLIST_MouseUp(b, sh, x, y); });
    });
    connect(vsPLAYLIST, &ui::Grid::keyDown, this, [this](short key, short shift, bool repeat) {
        ui::dispatch([&] { vsPLAYLIST_KeyDown(key, shift, repeat); });
    });
    connect(trLIST, &ui::Tree::keyDown, this, [this](short key, short shift, bool repeat) {
        ui::dispatch([&] { trLIST_KeyDown(key, shift, repeat); });
    });
    connect(mnREMOVEITEMPLAYLIST, &QAction::triggered, this,
            [this] { ui::dispatch([this] { mnREMOVEITEMPLAYLIST_Click(); }); });
    for (short i = 0; i < short(cmdCLEAR.size()); ++i)
        connect(cmdCLEAR[size_t(i)], &QPushButton::clicked, this, [this, i] { ui::dispatch([this, i] { cmdCLEAR_Click(i); }); });
    for (short i = 1; i < short(mnCLEARCHANNEL.size()); ++i)
        connect(mnCLEARCHANNEL[size_t(i)], &QAction::triggered, this,
                [this, i] { ui::dispatch([this, i] { mnCLEARCHANNEL_Click(i); }); });
    connect(mnClearLAYERONAIR, &QAction::triggered, this, [this] { ui::dispatch([this] { mnClearLAYERONAIR_Click(); }); });
    connect(mnCLEARLAYERPREVIEW, &QAction::triggered, this,
            [this] { ui::dispatch([this] { mnCLEARLAYERPREVIEW_Click(); }); });
}

// ---- Editing ---------------------------------------------------------------------------------

void frmMAIN::trLIST_DblClick()
{
    ARM_TRAP();
    const ui::TreeNode node = trLIST->selectedNode();
    short card = 0;
    playlist::RunningOrder::Entry entry;

    if (node.tag() != QLatin1String("D"))
        return;
    if (!STEP(Playlist.mustBeRead()))
        return;
    const QString file = node.key();
    STEP(card = mGENERAL::EntryCard(s, file));
    if (!STEP(entry = mGENERAL::PlaylistEntry(s, file, node.text(), card, true)))
        return;
    Playlist.append(std::move(entry), true);
    mGENERAL::SavePlayList(*this);
}

void frmMAIN::vsPLAYLIST_MouseDown(short Button, short Shift, float X, float Y)
{
    ARM_TRAP();
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    const int row = vsPLAYLIST->mouseRow();
    const int col = vsPLAYLIST->mouseCol();
    const int entry = PlaylistModel::entryOf(row);
    const int step = PlaylistModel::stepOf(col);

    if (Button == 1) {
        if (OverTitle(col)) {
            if (!STEP(Playlist.mustBeRead()))
                return;
            if (vsPLAYLIST->rows() > 1 && row > 0) {
                Dragging = true;
                DropRow = -1;
                vsPLAYLIST->setDragDisplay(ui::Grid::DragDisplay::Dragging);
                DragRow = short(row);
            }
        } else if (step >= 0 && row > 0) {
            vsPLAYLIST->setCol(col);
            vsPLAYLIST->setRow(row);
            Engine->setCue(entry, step);
            PLAYLIST_EXEC(entry, step, false);
        }
    } else if (Button == 2) {
        if (OverTitle(col)) {
            ui::popupMenu(mnDELPLAYLIST);
        } else if ((col == Ft || col == Channel || col == Layer) && row > 0) {
            // The layer and channel clears, for the entry under the pointer.
            vsPLAYLIST->setRow(row);
            ui::popupMenu(mnCLEARLAYER);
        } else if (step >= 0 && row > 0) {
            vsPLAYLIST->setCol(col);
            vsPLAYLIST->setRow(row);
            Engine->setCue(entry, step);
            PLAYLIST_EXEC(entry, step, true);
        }
    }
}

void frmMAIN::vsPLAYLIST_MouseMove(short Button, short Shift, float X, float Y)
{
    ARM_TRAP();
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    const int row = vsPLAYLIST->mouseRow();
    const int col = vsPLAYLIST->mouseCol();

    if (Button == 0) {
        // Rows removed since may have taken the outlined row with them.
        if (HoverRow > vsPLAYLIST->rows() - 1)
            HoverRow = short(vsPLAYLIST->rows() - 1);
        if (row != HoverRow && row > 0) {
            if (HoverRow > 0) {
                SelectRow(*vsPLAYLIST, HoverRow);
                vsPLAYLIST->setCellBorder(kOutlineColour, 0, 0, 0, 0, 0, 0);
            }
            SelectRow(*vsPLAYLIST, row);
            vsPLAYLIST->setCellBorder(kOutlineColour, kOutline, kOutline, kOutline, kOutline, 0, 0);
            HoverRow = short(row);
        }
    } else if (Button == 1 && Dragging) {
        if (row > 0 && OverTitle(col) && row != DropRow) {
            DropRow = short(row);
            Playlist.move(PlaylistModel::entryOf(DragRow), PlaylistModel::entryOf(row));
            vsPLAYLIST->setCol(Type);
            vsPLAYLIST->setRow(row);
            DragRow = short(row);
        }
    }
}

void frmMAIN::vsPLAYLIST_MouseUp(short Button, short Shift, float X, float Y)
{
    ARM_TRAP();
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    // A drag ends only over the columns it is made on; elsewhere it goes on.
    if (Button != 1 || !OverTitle(vsPLAYLIST->mouseCol()))
        return;
    Dragging = false;
    vsPLAYLIST->setDragDisplay(ui::Grid::DragDisplay::None);
    ColorMe();
    vsPLAYLIST->refresh();
    mGENERAL::SavePlayList(*this);
}

void frmMAIN::mnREMOVEITEMPLAYLIST_Click()
{
    ARM_TRAP();
    if (!STEP(Playlist.mustBeRead()))
        return;
    if (vsPLAYLIST->row() < 1)
        return;
    Playlist.remove(PlaylistModel::entryOf(vsPLAYLIST->row()));
    mGENERAL::SavePlayList(*this);
}

// ---- Keys ------------------------------------------------------------------------------------

void frmMAIN::vsPLAYLIST_KeyDown(short KeyCode, short Shift, bool Repeat)
{
    ARM_TRAP();
    using namespace ui::keys;
    // Only a plain key, or one with Shift, acts: a slip onto Ctrl or Alt puts nothing on air.
    if (Playlist.size() < 1 || (Shift & (Control | Alt)) != 0)
        return;
    const bool preview = (Shift & ui::keys::Shift) != 0;
    const playlist::RunningOrder::Cue cue = Playlist.cue();

    switch (KeyCode) {
    case Up: MoveCue(CueMove::Up); break;
    case Down: MoveCue(CueMove::Down); break;
    case PageUp: MoveCue(CueMove::PageUp); break;
    case PageDown: MoveCue(CueMove::PageDown); break;
    case Left: MoveCue(CueMove::Left); break;
    case Right: MoveCue(CueMove::Right); break;
    case Home: MoveCue(CueMove::Home); break;
    case End: MoveCue(CueMove::End); break;
    case Return:
    case Space:
        // One press, one line: a held key fires once.
        if (Repeat || cue.entry < 0)
            return;
        vsPLAYLIST->setCol(PlaylistModel::colOf(cue.step));
        vsPLAYLIST->setRow(PlaylistModel::rowOf(cue.entry));
        PLAYLIST_EXEC(cue.entry, cue.step, preview);
        break;
    case F12:
        if (Repeat || cue.entry < 0)
            return;
        vsPLAYLIST->setCol(PlaylistModel::colOf(cue.step));
        vsPLAYLIST->setRow(PlaylistModel::rowOf(cue.entry));
        ClearEntryLayer(cue.entry, preview);
        break;
    default: break;
    }
}

void frmMAIN::MoveCue(CueMove move)
{
    // A page is what the grid shows.
    Engine->moveCue(move, vsPLAYLIST->rowsInView());
}

void frmMAIN::trLIST_KeyDown(short KeyCode, short Shift, bool Repeat)
{
    ARM_TRAP();
    Q_UNUSED(Shift);
    if (KeyCode == ui::keys::Return && !Repeat)
        trLIST_DblClick();
}

// ---- The on-air marks ------------------------------------------------------------------------
// What a line puts on air, and what a clear takes off, the engine marks as it sends them.

void frmMAIN::ColorMe()
{
    ARM_TRAP();
    // Rows that changed parity take the other stripe and resting colour; marked cells keep their mark.
    Playlist.restripe();
}

// ---- Firing ----------------------------------------------------------------------------------

void frmMAIN::PLAYLIST_EXEC(int Entry, int Step, bool Preview)
{
    ARM_TRAP();
    short channel = 0;
    playlist::Target target;
    QByteArray line;
    bool sent = false;

    if (!Playlist.has(Entry) || Step < 0)
        return;
    if (Playlist.step(Entry, Step).isEmpty())
        return;
    // No preview channel chosen: nowhere to send it.
    if (Preview && cmbPREVIEW->currentIndex() < 0)
        return;
    // No card, no line: nothing goes out, not even an empty one.
    if (Playlist.entry(Entry).card < 1)
        return;
    if (Preview && !STEP(channel = project::convert::toInteger16(cmbPREVIEW->currentText())))
        return;
    target = Engine->target(Entry, channel);
    if (!STEP(line = Engine->stepLine(Entry, Step, target)))
        return;
    // The engine marks the cell by what the line puts on air; with the link down nothing changes.
    if (!STEP(sent = Engine->send(Entry, Step, target, line)) || !sent)
        return;
    txtCOMMAND->setText(QString::fromUtf8(line));
}

// ---- Clears ----------------------------------------------------------------------------------

void frmMAIN::cmdCLEAR_Click(short Index)
{
    ARM_TRAP();
    ClearChannel(*this, Index);
}

void frmMAIN::mnCLEARCHANNEL_Click(short Index)
{
    ARM_TRAP();
    ClearChannel(*this, Index);
}

void frmMAIN::mnClearLAYERONAIR_Click()
{
    ARM_TRAP();
    ClearEntryLayer(PlaylistModel::entryOf(vsPLAYLIST->row()), false);
}

void frmMAIN::mnCLEARLAYERPREVIEW_Click()
{
    ARM_TRAP();
    ClearEntryLayer(PlaylistModel::entryOf(vsPLAYLIST->row()), true);
}

void frmMAIN::ClearEntryLayer(int Entry, bool Preview)
{
    ARM_TRAP();
    short channel = 0;

    if (!Playlist.has(Entry) || (Preview && cmbPREVIEW->currentIndex() < 0))
        return;
    if (Preview && !STEP(channel = project::convert::toInteger16(cmbPREVIEW->currentText())))
        return;
    // The same target the entry's steps fire on; with the link down nothing comes off the air.
    STEP(Engine->clearLayer(Engine->target(Entry, channel)));
}

} // namespace app
