// The playlist page's handlers: the tree's double-click, the grid's mouse, the on-air marks.
#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/datasetfile.h"
#include "project/mGENERAL.h"
#include "ui/colors.h"
#include "ui/dispatch.h"

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = linebase::frmMAIN_playlist;
using namespace mGENERAL::PlaylistCol;

bool OverTitle(int col) { return col == Type || col == Description; }

// Row r without marks: its stripe on columns 1 to 5, its resting colour on the steps.
void PaintPlain(ui::Grid& grid, int r)
{
    grid.setCellBackColor(r, Type, r, Layer, ui::palette::stripe(r));
    grid.setCellBackColor(r, Steps, r, grid.cols() - 1, ui::palette::rest(r));
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
    connect(mnREMOVEITEMPLAYLIST, &QAction::triggered, this,
            [this] { ui::dispatch([this] { mnREMOVEITEMPLAYLIST_Click(); }); });
}

// ---- Editing ---------------------------------------------------------------------------------

void frmMAIN::trLIST_DblClick()
{
    ARM_TRAP();
    const ui::TreeNode node = trLIST->selectedNode();
    short card = 0;

    if (node.tag() != QLatin1String("D"))
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
            if (vsPLAYLIST->rows() > 1 && row > 0) {
                Dragging = true;
                DropRow = -1;
                vsPLAYLIST->setDragDisplay(1);
                DragRow = short(row);
            }
        } else if (col >= Steps && row > 0) {
            STEP(vsPLAYLIST->setCol(col));
            STEP(vsPLAYLIST->setRow(row));
            s.PreviewMode = false;
            PLAYLIST_EXEC();
        }
    } else if (Button == 2) {
        if (OverTitle(col)) {
            ui::popupMenu(mnDELPLAYLIST);
        } else if (col >= Steps && row > 0) {
            STEP(vsPLAYLIST->setCol(col));
            STEP(vsPLAYLIST->setRow(row));
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
                STEP(SelectRow(*vsPLAYLIST, HoverRow); vsPLAYLIST->setCellBorder(0, 0, 0, 0, 0, 0, 0));
            }
            STEP(SelectRow(*vsPLAYLIST, row); vsPLAYLIST->setCellBorder(0, 2, 2, 2, 2, 0, 0));
            HoverRow = short(row);
        }
    } else if (Button == 1 && Dragging) {
        if (row > 0 && OverTitle(col) && row != DropRow) {
            DropRow = short(row);
            STEP(vsPLAYLIST->moveRow(DragRow, row));
            STEP(vsPLAYLIST->setCol(Type); vsPLAYLIST->setRow(row); vsPLAYLIST->setRowSel(row));
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
    if (vsPLAYLIST->row() < 1)
        return;
    STEP(vsPLAYLIST->removeItem(vsPLAYLIST->row()));
    mGENERAL::SavePlayList(*this);
}

// ---- The on-air marks ------------------------------------------------------------------------

void frmMAIN::ShowOnAir(short irr, short icc)
{
    ARM_TRAP();
    Q_UNUSED(icc);
    QString channel;
    QString layer;

    if (!STEP(channel = vsPLAYLIST->textMatrix(irr, Channel); layer = vsPLAYLIST->textMatrix(irr, Layer)))
        return;
    for (int i = 1; i < vsPLAYLIST->rows(); ++i) {
        if (i == irr)
            continue;
        if (vsPLAYLIST->textMatrix(i, Channel) == channel && vsPLAYLIST->textMatrix(i, Layer) == layer)
            PaintPlain(*vsPLAYLIST, i);
    }
}

void frmMAIN::ColorMe()
{
    ARM_TRAP();
    for (int i = 1; i < vsPLAYLIST->rows(); ++i) {
        // A row that changed parity takes the other resting colour; marked cells keep their mark.
        const quint32 other = ui::palette::rest(i + 1);
        vsPLAYLIST->setCellBackColor(i, Type, i, Layer, ui::palette::stripe(i));
        for (int c = Steps; c < vsPLAYLIST->cols(); ++c)
            if (vsPLAYLIST->cellBackColor(i, c) == other)
                vsPLAYLIST->setCellBackColor(i, c, ui::palette::rest(i));
    }
}

// ---- Firing ----------------------------------------------------------------------------------

void frmMAIN::PLAYLIST_EXEC()
{
    ARM_TRAP();
    // Firing a step on air arrives with the next change.
}
