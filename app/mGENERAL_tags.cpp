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

// The listed title of file, the first when it has several; empty when it is not listed.
QString ListedTitle(const project::Document& doc, const QString& file)
{
    for (const project::Document::Listed& row : doc.datasets())
        if (row.file == file)
            return row.title;
    return QString();
}
} // namespace

void LayOutTagGrid(frmMAIN& f, TagLayout layout)
{
    static constexpr int kNoDataset[] = {350, 350, 450, 3000, 10};
    static constexpr int kDataset[] = {400, 300, 400, 3000, 10};
    f.TagCells->show(layout);
    f.vsTAGS->setFixedRows(1);
    for (int c = 0; c < TagModel::Cols; ++c)
        f.vsTAGS->setColWidth(c, (layout == TagLayout::NoDataset ? kNoDataset : kDataset)[c]);
    f.vsTAGS->setExtendLastCol(true);
}

void LOADTAGS(frmMAIN& f, const QString& file, const QStringList* read)
{
    ARM_TRAP();
    project::State& s = f.s;
    QString path;
    QStringList lines;
    project::datasetfile::TagValue tag;
    bool remove = false;

    // The tag grid's own events stay quiet while it is filled here.
    const QScopedValueRollback quiet(f.LoadingTags, true);

    // The values come from the file alone: the document's are set aside.
    f.Doc.selectDataset(file, file == f.Doc.dataset() ? f.Doc.title() : ListedTitle(f.Doc, file));
    path = project::paths::join(s.DataFolder, file);
    if (read) {
        lines = *read;
    } else {
        if (!project::textfile::fileExists(path))
            STEP(project::textfile::writeBytes(path, QByteArray()));
        if (!STEP(lines = project::textfile::readLines(path)))
            f.Doc.setUnread();
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
            f.Doc.fill(tag.id, tag.value);
        }
    }
    LayOutTagGrid(f, TagLayout::Dataset);

    if (!f.Doc.orphans().isEmpty()) {
        remove = ui::dialogs().yesNo(f.Doc.orphans() + QStringLiteral("\r\n\r\nDo you want to remove it from saved data?"),
                                     QStringLiteral("orphan Tags found"));
        if (f.Doc.answerOrphans(remove))
            SAVEDATASET(f, file, true);
    }
}

} // namespace app::mGENERAL
