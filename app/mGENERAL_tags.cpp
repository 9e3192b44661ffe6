// The tag grid of a dataset, and the saved values whose tag the card no longer has.
#include <QHash>
#include <QScopedValueRollback>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "project/datasetfile.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "ui/dialogs.h"

namespace app::mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = fault::linebase::mGENERAL_tags;

// One row per tag of card, in slot order; the row of each id, the first when it repeats.
QHash<QString, int> AddTagRows(ui::Grid& grid, const project::CARD& card)
{
    QHash<QString, int> rows;
    for (size_t slot = 1; slot <= project::kTagSlots; ++slot) {
        const project::TAGDEF& def = card.Tags[slot];
        // One row per id: a repeated id would write two lines, and the later would win.
        if (def.Id.isEmpty() || rows.contains(def.Id))
            continue;
        grid.addItem(QStringList{def.Id, QString::number(def.Ani), def.Type, def.Title, QString()});
        rows.insert(def.Id, grid.rows() - 1);
    }
    return rows;
}
} // namespace

void LayOutTagGrid(ui::Grid& grid, TagLayout layout)
{
    if (layout == TagLayout::NoDataset)
        LayOutGrid(grid, {"Id", "Ani", "Type", "Title", "Value"}, {350, 350, 450, 3000, 10});
    else
        LayOutGrid(grid, {"Tg", "A", "T", "Title", "Value"}, {400, 300, 400, 3000, 10});
}

void LOADTAGS(frmMAIN& f, const QString& file, const QStringList* read)
{
    ARM_TRAP();
    project::State& s = f.s;
    ui::Grid& grid = *f.vsTAGS;
    QString path;
    QStringList lines;
    project::datasetfile::TagValue tag;
    int row = 0;
    QHash<QString, int> rows; // the row of each tag id
    QString orphans;
    bool remove = false;

    // The tag grid's own events stay quiet while it is filled here.
    const QScopedValueRollback quiet(f.LoadingTags, true);
    LayOutTagGrid(grid, TagLayout::Dataset);

    STEP(rows = AddTagRows(grid, CardRecord(s, s.CurrentCard)));

    path = project::paths::join(s.DataFolder, file);
    s.UnreadDataset.clear();
    if (read) {
        lines = *read;
    } else {
        if (!project::textfile::fileExists(path))
            STEP(project::textfile::writeBytes(path, QByteArray()));
        if (!STEP(lines = project::textfile::readLines(path)))
            s.UnreadDataset = file;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const int n = int(i + 1);
        if (STEP_IF(fault::readingLine(file, n, [&] { return project::datasetfile::lineKey(line); }) == QLatin1String("TAG"))) {
            if (!STEP(tag = fault::readingLine(file, n, [&] {
                          return project::datasetfile::tagValue(project::datasetfile::lineValue(line));
                      })))
                continue;
            // By id, not by slot: slots without an id take no row.
            row = rows.value(tag.id);
            if (row > 0)
                grid.setTextMatrix(row, TagCol::Value, tag.value);
            else
                orphans += tag.id + QStringLiteral(" = ") + tag.value + QStringLiteral("\r\n");
        }
    }

    if (!orphans.isEmpty()) {
        remove = ui::dialogs().yesNo(orphans + QStringLiteral("\r\n\r\nDo you want to remove it from saved data?"),
                                     QStringLiteral("orphan Tags found"));
        if (remove)
            SAVEDATASET(f, file, true);
    }
}

} // namespace app::mGENERAL
