// The editor page's handlers: the card list, the dataset grid, the tag grid.
#include <QScopedValueRollback>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "project/datasetfile.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "ui/dialogs.h"
#include "ui/dispatch.h"

namespace app {

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = fault::linebase::frmMAIN_editor;

const QString kPictureType = QStringLiteral("pic");
} // namespace

// The steps several handlers share run under the calling handler's trap, so a report names
// the handler the operator set off.

// One way to load once: a handler leaves a selection that the operator's current action has
// loaded already, however many grid events the action raises (a click moves the current row
// and then clicks). What code raises while it fills a grid, the Loading flags keep quiet.

// Select the current card: the card the current row was added for, whatever the sort.
void SelectCard(frmMAIN& f)
{
    CALLERS_TRAP();
    project::State& s = f.s;
    const int row = f.vsCARDS->row();
    if (row < 1)
        return;
    const frmMAIN::Loaded now{short(f.vsCARDS->rowKey(row).toInt()), QString(), ui::currentAction()};
    if (now == f.CardLoaded)
        return;
    s.CurrentCard = now.card;
    STEP(s.CurrentCardFile = mGENERAL::CardRecord(s, s.CurrentCard).FileName);
    if (s.CurrentCardFile.isEmpty())
        return;
    mGENERAL::LOADDATASET(f, s.CurrentCardFile);
    f.CardLoaded = now;
}

// Select the dataset of the current row and load its tags. The header row selects nothing.
void SelectDataset(frmMAIN& f)
{
    project::State& s = f.s;
    const int row = f.vsDATASET->row();
    if (row < 1)
        return;
    const frmMAIN::Loaded now{-1, f.vsDATASET->rowKey(row).toString(), ui::currentAction()};
    if (now == f.DatasetLoaded)
        return;
    s.CurrentDataset = now.dataset;
    if (s.CurrentDataset.isEmpty())
        return;
    mGENERAL::LOADTAGS(f, s.CurrentDataset);
    f.DatasetLoaded = now;
}

// The editor grid that got the focus stands out.
void FocusCue(frmMAIN& f, const ui::Grid* focused)
{
    for (ui::Grid* grid : {f.vsCARDS, f.vsDATASET, f.vsTAGS})
        grid->setAppearance(grid == focused ? ui::Grid::Appearance::Sunken : ui::Grid::Appearance::Light);
}

namespace {

// Refuses text the dataset file could not give back, saying why.
bool Refused(const QString& text, project::datasetfile::Field field)
{
    const QString why = project::datasetfile::refusal(text, field);
    if (why.isEmpty())
        return false;
    ui::dialogs().message(why, QStringLiteral("Plintor"));
    return true;
}
} // namespace

void frmMAIN::connectEditorHandlers()
{
    connect(vsCARDS, &ui::Grid::click, this, [this] { ui::dispatch([this] { vsCARDS_Click(); }); });
    connect(vsCARDS, &ui::Grid::rowColChange, this, [this] { ui::dispatch([this] { vsCARDS_RowColChange(); }); });
    connect(vsCARDS, &ui::Grid::afterSort, this,
            [this](int c, int o) { ui::dispatch([this, c, o] { vsCARDS_AfterSort(c, o); }); });
    connect(vsCARDS, &ui::Grid::gotFocus, this, [this] { ui::dispatch([this] { vsCARDS_GotFocus(); }); });

    connect(vsDATASET, &ui::Grid::beforeEdit, this,
            [this](int r, int c, bool& cancel) { ui::dispatch([&] { vsDATASET_BeforeEdit(r, c, cancel); }); });
    connect(vsDATASET, &ui::Grid::validateEdit, this,
            [this](int r, int c, bool& cancel) { ui::dispatch([&] { vsDATASET_ValidateEdit(r, c, cancel); }); });
    connect(vsDATASET, &ui::Grid::afterEdit, this,
            [this](int r, int c) { ui::dispatch([&] { vsDATASET_AfterEdit(r, c); }); });
    connect(vsDATASET, &ui::Grid::click, this, [this] { ui::dispatch([this] { vsDATASET_Click(); }); });
    connect(vsDATASET, &ui::Grid::rowColChange, this, [this] { ui::dispatch([this] { vsDATASET_RowColChange(); }); });
    connect(vsDATASET, &ui::Grid::afterSort, this,
            [this](int c, int o) { ui::dispatch([this, c, o] { vsDATASET_AfterSort(c, o); }); });
    connect(vsDATASET, &ui::Grid::gotFocus, this, [this] { ui::dispatch([this] { vsDATASET_GotFocus(); }); });

    connect(vsTAGS, &ui::Grid::beforeEdit, this,
            [this](int r, int c, bool& cancel) { ui::dispatch([&] { vsTAGS_BeforeEdit(r, c, cancel); }); });
    connect(vsTAGS, &ui::Grid::validateEdit, this,
            [this](int r, int c, bool& cancel) { ui::dispatch([&] { vsTAGS_ValidateEdit(r, c, cancel); }); });
    connect(vsTAGS, &ui::Grid::afterEdit, this, [this](int r, int c) { ui::dispatch([&] { vsTAGS_AfterEdit(r, c); }); });
    connect(vsTAGS, &ui::Grid::enterCell, this, [this] { ui::dispatch([this] { vsTAGS_EnterCell(); }); });
    connect(vsTAGS, &ui::Grid::cellButtonClick, this,
            [this](int r, int c) { ui::dispatch([&] { vsTAGS_CellButtonClick(r, c); }); });
    connect(vsTAGS, &ui::Grid::gotFocus, this, [this] { ui::dispatch([this] { vsTAGS_GotFocus(); }); });

    connect(cmdADDDATASET, &QPushButton::clicked, this, [this] { ui::dispatch([this] { cmdADDDATASET_Click(); }); });
    connect(cmdDELETEDATASET, &QPushButton::clicked, this,
            [this] { ui::dispatch([this] { cmdDELETEDATASET_Click(); }); });
}

// ---- The card list --------------------------------------------------------------------------

void frmMAIN::vsCARDS_Click()
{
    ARM_TRAP();
    SelectCard(*this);
}

void frmMAIN::vsCARDS_RowColChange()
{
    ARM_TRAP();
    if (LoadingCards)
        return;
    SelectCard(*this);
}

void frmMAIN::vsCARDS_AfterSort(int Col, int Order)
{
    ARM_TRAP();
    Q_UNUSED(Col);
    Q_UNUSED(Order);
    SelectCard(*this);
}

void frmMAIN::vsCARDS_GotFocus()
{
    ARM_TRAP();
    if (LoadingCards)
        return;
    FocusCue(*this, vsCARDS);
}

// ---- The dataset grid -----------------------------------------------------------------------

void frmMAIN::vsDATASET_BeforeEdit(int Row, int Col, bool& Cancel)
{
    ARM_TRAP();
    Q_UNUSED(Row);
    if (Col != mGENERAL::DatasetCol::Description)
        Cancel = true;
}

void frmMAIN::vsDATASET_ValidateEdit(int Row, int Col, bool& Cancel)
{
    ARM_TRAP();
    Q_UNUSED(Row);
    if (Col == mGENERAL::DatasetCol::Description && Refused(vsDATASET->editText(), project::datasetfile::Field::Title))
        Cancel = true;
}

void frmMAIN::vsDATASET_AfterEdit(int Row, int Col)
{
    ARM_TRAP();
    Q_UNUSED(Row);
    Q_UNUSED(Col);
    // The tag grid must hold this row's dataset before it is written back with it.
    const bool shown = vsDATASET->row() > 0 && vsDATASET->rowKey(vsDATASET->row()).toString() == s.CurrentDataset;
    if (!shown)
        SelectDataset(*this);
    mGENERAL::SAVEDATASET(*this, s.CurrentDataset, true);
}

void frmMAIN::vsDATASET_Click()
{
    ARM_TRAP();
    if (vsDATASET->row() > 0)
        SelectDataset(*this);
}

void frmMAIN::vsDATASET_RowColChange()
{
    ARM_TRAP();
    if (LoadingDatasets)
        return;
    SelectDataset(*this);
}

void frmMAIN::vsDATASET_AfterSort(int Col, int Order)
{
    ARM_TRAP();
    Q_UNUSED(Col);
    Q_UNUSED(Order);
    SelectDataset(*this);
}

void frmMAIN::vsDATASET_GotFocus()
{
    ARM_TRAP();
    if (LoadingDatasets)
        return;
    FocusCue(*this, vsDATASET);
}

// ---- The tag grid ---------------------------------------------------------------------------

void frmMAIN::vsTAGS_BeforeEdit(int Row, int Col, bool& Cancel)
{
    ARM_TRAP();
    Q_UNUSED(Row);
    if (Col != mGENERAL::TagCol::Value)
        Cancel = true;
}

void frmMAIN::vsTAGS_ValidateEdit(int Row, int Col, bool& Cancel)
{
    ARM_TRAP();
    Q_UNUSED(Row);
    if (Col == mGENERAL::TagCol::Value && Refused(vsTAGS->editText(), project::datasetfile::Field::Value))
        Cancel = true;
}

void frmMAIN::vsTAGS_AfterEdit(int Row, int Col)
{
    ARM_TRAP();
    Q_UNUSED(Row);
    if (Col == mGENERAL::TagCol::Value)
        mGENERAL::SAVEDATASET(*this, s.CurrentDataset, true);
}

void frmMAIN::vsTAGS_EnterCell()
{
    ARM_TRAP();
    bool picture = false;
    if (LoadingTags)
        return;
    if (vsTAGS->row() > 0)
        picture = vsTAGS->textMatrix(vsTAGS->row(), mGENERAL::TagCol::Type) == kPictureType;
    vsTAGS->setColComboList(mGENERAL::TagCol::Value, picture ? ui::Grid::kCellButton : QString());
}

void frmMAIN::vsTAGS_CellButtonClick(int Row, int Col)
{
    ARM_TRAP();
    QString path;
    if (LoadingTags || Col != mGENERAL::TagCol::Value)
        return;
    if (Row < 1 || Row >= vsTAGS->rows())
        return;
    if (vsTAGS->textMatrix(Row, mGENERAL::TagCol::Type) == kPictureType) {
        path = mGENERAL::SelectFullPathFile(*this);
        if (path.isEmpty())
            return;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (Refused(path, project::datasetfile::Field::Value))
            return;
        vsTAGS->setTextMatrix(Row, mGENERAL::TagCol::Value, path);
        mGENERAL::SAVEDATASET(*this, s.CurrentDataset, true);
    }
}

void frmMAIN::vsTAGS_GotFocus()
{
    ARM_TRAP();
    if (LoadingTags)
        return;
    FocusCue(*this, vsTAGS);
}

// ---- Adding and deleting datasets -----------------------------------------------------------

void frmMAIN::cmdADDDATASET_Click()
{
    ARM_TRAP();
    QString path;
    // A dataset named after no card would belong to none.
    if (s.CurrentCardFile.isEmpty())
        return;
    path = mGENERAL::CreateUniqueFileName(s, s.CurrentCardFile);
    s.CurrentDataset = mGENERAL::GetFilenameFromPath(path);
    vsDATASET->addItem(QStringList{s.CurrentDataset, QStringLiteral("New dataset")}, s.CurrentDataset);
    vsDATASET->setRow(vsDATASET->rows() - 1);
    for (int r = 1; r < vsTAGS->rows(); ++r)
        vsTAGS->setTextMatrix(r, mGENERAL::TagCol::Value, QString());
    mGENERAL::SAVEDATASET(*this, s.CurrentDataset, false);
    mGENERAL::LOADTAGS(*this, s.CurrentDataset);
}

void frmMAIN::cmdDELETEDATASET_Click()
{
    ARM_TRAP();
    if (vsDATASET->row() == 0)
        return;
    const QString file = vsDATASET->rowKey(vsDATASET->row()).toString();
    // A file that is already gone is no reason to stop.
    fault::ignoringFailure([&] { project::textfile::deleteFile(project::paths::join(s.DataFolder, file)); });
    fault::ignoringFailure([&] { project::textfile::deleteFile(project::paths::join(s.DataFolder, project::datasetfile::copyName(file))); });
    {
        // Every row of the file goes (a file with two titles has two); the dataset that becomes
        // current is selected once, below.
        const QScopedValueRollback quiet(LoadingDatasets, true);
        for (int r = vsDATASET->rows() - 1; r >= 1; --r)
            if (vsDATASET->rowKey(r).toString() == file)
                vsDATASET->removeItem(r);
    }

    if (vsDATASET->row() > 0) {
        SelectDataset(*this);
    } else {
        s.CurrentDataset.clear();
        vsTAGS->setRows(1);
    }
}

} // namespace app
