// The playlist page's handlers: the tree's double-click, the grid's mouse, the on-air marks,
// firing steps and the clears.
#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "project/convert.h"
#include "server/cardline.h"
#include "server/compose.h"
#include "ui/colors.h"
#include "ui/dispatch.h"
#include "ui/keys.h"

namespace app {

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = fault::linebase::frmMAIN_playlist;
using namespace mGENERAL::PlaylistCol;
using playlist::Mark;

/// The index of the button "?", which shows the command panel instead of clearing.
constexpr short kShowCommand = 5;
/// The hover outline: black, 2 pixels on each edge, no inner lines.
constexpr quint32 kOutlineColour = 0;
constexpr int kOutline = 2;

bool OverTitle(int col) { return col == Type || col == Description; }

// The colour of a step cell of row r with this mark.
quint32 MarkColour(Mark mark, int r)
{
    switch (mark) {
    case Mark::OnAir: return ui::palette::OnAir;
    case Mark::OnPreview: return ui::palette::OnPreview;
    case Mark::Cleared: return ui::palette::Cleared;
    case Mark::Refused: return ui::palette::Refused;
    case Mark::None: break;
    }
    return ui::palette::rest(r);
}

// Hands the line to a connected link; false when the link is down or would not take it. ticket,
// when given, receives the link's name for the line.
bool Sent(frmMAIN& f, const QByteArray& line, quint64* ticket = nullptr)
{
    CALLERS_TRAP();
    quint64 sent = 0;
    if (f.wsGASPAR->State() != server::Link::Connected || !STEP(sent = f.wsGASPAR->SendData(line)))
        return false;
    if (ticket)
        *ticket = sent;
    return true;
}

// The channel clear the buttons and the pop-up's items share.
void ClearChannel(frmMAIN& f, short Index)
{
    if (Index == kShowCommand) {
        f.fraCOMMAND->setVisible(true);
        return;
    }
    // The marks follow what went out: with nothing sent, nothing comes off the air.
    if (!Sent(f, server::compose::clearLine(Index)))
        return;
    for (int i : f.Playlist.clearChannel(Index))
        f.PaintMarks(i + 1);
    for (int i = 0; i < f.Playlist.size(); ++i) {
        if (f.Playlist.entry(i).channel == Index) {
            f.Playlist.plain(i);
            f.PaintMarks(i + 1);
        }
    }
}

// A layer clear's line; with it sent, the marks `which` whose line went there turn cleared.
void ClearLayer(frmMAIN& f, Mark which, playlist::Target target)
{
    if (!Sent(f, server::compose::clearLine(target.channel, target.layer)))
        return;
    for (int i : f.Playlist.clearLayer(which, target))
        f.PaintMarks(i + 1);
}

// Row r across all columns becomes the selection.
void SelectRow(ui::Grid& grid, int r)
{
    grid.setRow(r);
    grid.setRowSel(r);
    grid.setCol(DatasetFile);
    grid.setColSel(grid.cols() - 1);
}
} // namespace

void frmMAIN::connectPlaylistHandlers()
{
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

    if (node.tag() != QLatin1String("D"))
        return;
    if (!STEP(Playlist.mustBeRead()))
        return;
    const QString file = node.key();
    STEP(card = mGENERAL::EntryCard(s, file));
    if (!STEP(mGENERAL::AppendEntry(*this, file, node.text(), card, true)))
        return;
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

    if (Button == 1) {
        if (OverTitle(col)) {
            if (!STEP(Playlist.mustBeRead()))
                return;
            if (vsPLAYLIST->rows() > 1 && row > 0) {
                Dragging = true;
                DropRow = -1;
                vsPLAYLIST->setDragDisplay(1);
                DragRow = short(row);
            }
        } else if (col >= Steps && row > 0) {
            vsPLAYLIST->setCol(col);
            vsPLAYLIST->setRow(row);
            vsPLAYLIST->setCue(row, col);
            s.PreviewMode = false;
            PLAYLIST_EXEC();
        }
    } else if (Button == 2) {
        if (OverTitle(col)) {
            ui::popupMenu(mnDELPLAYLIST);
        } else if ((col == Ft || col == Channel || col == Layer) && row > 0) {
            // The layer and channel clears, for the entry under the pointer.
            vsPLAYLIST->setRow(row);
            ui::popupMenu(mnCLEARLAYER);
        } else if (col >= Steps && row > 0) {
            vsPLAYLIST->setCol(col);
            vsPLAYLIST->setRow(row);
            vsPLAYLIST->setCue(row, col);
            s.PreviewMode = true;
            PLAYLIST_EXEC();
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
            if (STEP(vsPLAYLIST->moveRow(DragRow, row)))
                Playlist.move(DragRow - 1, row - 1);
            vsPLAYLIST->setCol(Type);
            vsPLAYLIST->setRow(row);
            vsPLAYLIST->setRowSel(row);
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
    vsPLAYLIST->setDragDisplay(0);
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
    const int row = vsPLAYLIST->row();
    vsPLAYLIST->removeItem(row);
    Playlist.remove(row - 1);
    mGENERAL::SavePlayList(*this);
}

// ---- Keys ------------------------------------------------------------------------------------

void frmMAIN::vsPLAYLIST_KeyDown(short KeyCode, short Shift, bool Repeat)
{
    ARM_TRAP();
    using namespace ui::keys;
    const int last = vsPLAYLIST->rows() - 1;
    // Only a plain key, or one with Shift, acts: a slip onto Ctrl or Alt puts nothing on air.
    if (last < 1 || (Shift & (Control | Alt)) != 0)
        return;
    const int row = vsPLAYLIST->cueRow();
    const int col = vsPLAYLIST->cueCol();
    const bool preview = (Shift & ui::keys::Shift) != 0;
    const bool moves = KeyCode == Up || KeyCode == Down || KeyCode == PageUp || KeyCode == PageDown ||
                       KeyCode == Left || KeyCode == Right || KeyCode == Home || KeyCode == End;

    // With no cue yet, a move puts it on the first step of the first entry.
    if (row < 1) {
        if (moves)
            vsPLAYLIST->setCue(1, Steps);
        return;
    }
    const int lastStep = Steps + Playlist.lastStep(row - 1);
    switch (KeyCode) {
    case Up:
    case Down:
    case PageUp:
    case PageDown: {
        const int by = KeyCode == Up || KeyCode == Down ? 1 : vsPLAYLIST->rowsInView();
        const int to = std::clamp(KeyCode == Up || KeyCode == PageUp ? row - by : row + by, 1, last);
        vsPLAYLIST->setCue(to, std::min(col, Steps + Playlist.lastStep(to - 1)));
        break;
    }
    case Left: vsPLAYLIST->setCue(row, std::max(std::min(col - 1, lastStep), int(Steps))); break;
    case Right: vsPLAYLIST->setCue(row, std::min(col + 1, lastStep)); break;
    case Home: vsPLAYLIST->setCue(row, Steps); break;
    case End: vsPLAYLIST->setCue(row, lastStep); break;
    case Return:
    case Space:
        // One press, one line: a held key fires once.
        if (Repeat)
            return;
        vsPLAYLIST->setCol(col);
        vsPLAYLIST->setRow(row);
        s.PreviewMode = preview;
        PLAYLIST_EXEC();
        break;
    case F12:
        if (Repeat)
            return;
        vsPLAYLIST->setCol(col);
        vsPLAYLIST->setRow(row);
        if (preview)
            mnCLEARLAYERPREVIEW_Click();
        else
            mnClearLAYERONAIR_Click();
        break;
    default: break;
    }
}

void frmMAIN::trLIST_KeyDown(short KeyCode, short Shift, bool Repeat)
{
    ARM_TRAP();
    Q_UNUSED(Shift);
    if (KeyCode == ui::keys::Return && !Repeat)
        trLIST_DblClick();
}

// ---- The on-air marks ------------------------------------------------------------------------

void frmMAIN::PaintMarks(int r)
{
    ui::Grid& grid = *vsPLAYLIST;
    if (r < 1 || r >= grid.rows() || r > Playlist.size() || grid.cols() <= Steps)
        return;
    const playlist::RunningOrder::Entry& entry = Playlist.entry(r - 1);
    if (entry.striped)
        grid.setCellBackColor(r, Type, r, Layer, ui::palette::stripe(r));
    grid.setCellBackColor(r, Steps, r, grid.cols() - 1, MarkColour(entry.rest, r));
    if (entry.fired >= 0 && Steps + entry.fired < grid.cols())
        grid.setCellBackColor(r, Steps + entry.fired, MarkColour(entry.mark, r));
}

void frmMAIN::ShowOnAir(short irr, short icc)
{
    ARM_TRAP();
    Q_UNUSED(icc);
    if (irr < 1 || irr > Playlist.size())
        return;
    const playlist::RunningOrder::Entry& fired = Playlist.entry(irr - 1);
    for (int i = 0; i < Playlist.size(); ++i) {
        const playlist::RunningOrder::Entry& other = Playlist.entry(i);
        if (i != irr - 1 && other.channel == fired.channel && other.layer == fired.layer) {
            Playlist.plain(i);
            PaintMarks(i + 1);
        }
    }
}

void frmMAIN::ColorMe()
{
    ARM_TRAP();
    // Rows that changed parity take the other stripe and resting colour; marked cells keep their mark.
    Playlist.restripe();
    for (int i = 1; i < vsPLAYLIST->rows(); ++i)
        PaintMarks(i);
}

// ---- Firing ----------------------------------------------------------------------------------

void frmMAIN::PLAYLIST_EXEC()
{
    ARM_TRAP();
    short channel = 0;
    QByteArray line;
    quint64 ticket = 0;

    const int r = vsPLAYLIST->row();
    const int c = vsPLAYLIST->col();
    if (c < Steps || r < 1 || r > Playlist.size())
        return;
    const playlist::RunningOrder::Entry& entry = Playlist.entry(r - 1);
    const QString step = Playlist.step(r - 1, c - Steps);
    if (step.isEmpty())
        return;
    // No preview channel chosen: nowhere to send it.
    if (s.PreviewMode && cmbPREVIEW->listIndex() < 0)
        return;
    // No card, no line: nothing goes out, not even an empty one.
    if (entry.card < 1)
        return;
    const project::CARD& card = s.CARDS[size_t(entry.card)];
    channel = card.Channel;
    if (s.PreviewMode && !STEP(channel = project::convert::toInteger16(cmbPREVIEW->entry(cmbPREVIEW->listIndex()))))
        return;
    if (!STEP(line = server::compose::cardLine(card, channel, s.ProjectName, s.DataFolder, entry.file, step)))
        return;
    // The marks follow what went out: with the link down nothing changes colour.
    if (!Sent(*this, line, &ticket))
        return;
    txtCOMMAND->setText(QString::fromUtf8(line));
    if (!s.PreviewMode)
        ShowOnAir(short(r), short(c));
    Playlist.fired(r - 1, c - Steps, s.PreviewMode ? Mark::OnPreview : Mark::OnAir, {channel, card.Layer}, ticket);
    PaintMarks(r);
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
    const int row = vsPLAYLIST->row();
    if (row < 1 || row > Playlist.size())
        return;
    const playlist::RunningOrder::Entry& entry = Playlist.entry(row - 1);
    ClearLayer(*this, Mark::OnAir, {entry.channel, entry.layer});
}

void frmMAIN::mnCLEARLAYERPREVIEW_Click()
{
    ARM_TRAP();
    short channel = 0;

    const int row = vsPLAYLIST->row();
    if (row < 1 || row > Playlist.size() || cmbPREVIEW->listIndex() < 0)
        return;
    if (!STEP(channel = project::convert::toInteger16(cmbPREVIEW->entry(cmbPREVIEW->listIndex()))))
        return;
    // The preview marks of the lines that went to this channel and layer: a row's channel
    // column holds its on-air channel, not the preview one.
    ClearLayer(*this, Mark::OnPreview, {channel, Playlist.entry(row - 1).layer});
}

} // namespace app
