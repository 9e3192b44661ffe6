// The one-load rule of the editor's loads: one click raises several grid events, each of which
// would start the same load again.
#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "project/textfile.h"
#include "ui/dispatch.h"

namespace mGENERAL {

namespace {
LoadMark MarkNow(const frmMAIN& f, const QString& argument)
{
    const State& s = f.s;
    LoadMark mark;
    mark.action = ui::currentAction();
    mark.writes = textfile::counts().writes;
    mark.argument = argument;
    mark.dataFolder = s.DataFolder;
    mark.card = s.CurrentCard;
    mark.cardGrid = f.vsCARDS->changes();
    mark.datasetGrid = f.vsDATASET->changes();
    mark.tagGrid = f.vsTAGS->changes();
    mark.datasetRow = f.vsDATASET->row();
    mark.currentDataset = s.CurrentDataset;
    return mark;
}

LoadMark& LastRun(State& s, Load load) { return load == Load::Datasets ? s.DatasetsLoaded : s.TagsLoaded; }
} // namespace

bool AlreadyLoaded(frmMAIN& f, Load load, const QString& argument)
{
    ui::beginActionOutsideHandlers();
    return LastRun(f.s, load) == MarkNow(f, argument);
}

void NoteLoaded(frmMAIN& f, Load load, const QString& argument) { LastRun(f.s, load) = MarkNow(f, argument); }

QStringList ReadDatasetLines(frmMAIN& f, const QString& path)
{
    State& s = f.s;
    if (s.ReadsAction != ui::currentAction() || s.ReadsWrites != textfile::counts().writes) {
        s.DatasetsRead.clear();
        s.ReadsAction = ui::currentAction();
        s.ReadsWrites = textfile::counts().writes;
    }
    const auto known = s.DatasetsRead.constFind(path);
    if (known != s.DatasetsRead.cend())
        return *known;
    const QStringList lines = textfile::readLines(path);
    s.DatasetsRead.insert(path, lines);
    return lines;
}

} // namespace mGENERAL
