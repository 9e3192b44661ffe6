// The card table and the card grid.
#include <QFile>
#include <QScopedValueRollback>
#include <algorithm>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "project/cardfile.h"
#include "project/cardread.h"
#include "project/folders.h"
#include "project/paths.h"
#include "project/textfile.h"

namespace app::mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = fault::linebase::mGENERAL_cards;

// One row per card of the table, in its order.
void FillCardGrid(ui::Grid& grid, const project::CardTable& cards)
{
    LayOutGrid(grid, {"card index", "Title", "Ft", "C:L"}, {0, 2200, 800, 10});
    grid.setColHidden(CardCol::Index, true);
    for (size_t i = 1; i < cards.size(); ++i) {
        const project::CARD& card = cards[i];
        // Cell by cell: a title may hold a TAB.
        grid.addItem(QStringList{QString::number(i), card.Title, card.FileName,
                                 QString::number(card.Channel) + QLatin1Char(':') + QString::number(card.Layer)},
                     int(i));
    }
}
} // namespace

QString BadFileNameText(const QByteArray& raw, const QString& folder)
{
    return QStringLiteral("Bad file name: %1 in %2 is not valid in the system's file names and cannot be opened; "
                          "rename it")
        .arg(project::paths::escapedName(raw), folder);
}

void LOADCARDS(frmMAIN& f)
{
    ARM_TRAP();
    project::State& s = f.s;
    // The card grid's own events stay quiet while it is filled here.
    const QScopedValueRollback quiet(f.LoadingCards, true);
    QStringList files;
    QList<QByteArray> unnamed;
    QStringList lines;
    project::cardfile::TextPool texts; // the tag texts met so far, kept once however many cards repeat them
    project::cardfile::Parsed parsed;
    std::vector<project::cardread::Ahead> ahead;

    s.CARDS.assign(2, project::CARD());
    f.Doc.selectCard(0, s.CARDS[0]);
    STEP(files = project::textfile::listFiles(s.ProjectFolder, &unnamed));
    for (const QByteArray& raw : std::as_const(unnamed))
        if (project::cardfile::isCardFile(QFile::decodeName(raw)))
            STEP(fault::raise(fault::BadFileName, BadFileNameText(raw, s.ProjectFolder)));
    files.removeIf([](const QString& name) { return !project::cardfile::isCardFile(name); });
    // Room for every card at once: a table of a thousand cards is not copied while it grows.
    s.CARDS.reserve(size_t(files.size()) + 1);
    // Every card is read and parsed first, on every core; a file that could not be read so is
    // read again here, in its turn, where its failure is reported.
    STEP(ahead = project::cardread::readAll(s.ProjectFolder, files));
    size_t n = 0;
    for (const QString& name : files) {
        ++n;
        if (n >= s.CARDS.size())
            s.CARDS.resize(n + 1);
        if (n <= ahead.size() && ahead[n - 1].read) {
            parsed = std::move(ahead[n - 1].parsed);
        } else {
            lines.clear();
            STEP(lines = project::textfile::readLines(project::paths::join(s.ProjectFolder, name)));
            parsed = project::cardfile::parse(name, lines, &texts);
        }
        STEP_FAILURES(parsed.failures);
        s.CARDS[n] = std::move(parsed.card);
        s.MaxInvokes = short(std::max<int>(s.MaxInvokes, parsed.maxInvokes));
    }

    FillCardGrid(*f.vsCARDS, s.CARDS);
    if (f.vsCARDS->rows() > 1) {
        f.vsCARDS->setRow(1);
        const short card = short(f.vsCARDS->rowKey(f.vsCARDS->row()).toInt());
        f.Doc.selectCard(card, s.CARDS[size_t(card)]);
        LOADDATASET(f, f.Doc.cardFile());
    }
}

short FindCardIndex(const project::State& s, const QString& name)
{
    ARM_TRAP();
    for (size_t i = 1; i < s.CARDS.size(); ++i)
        if (s.CARDS[i].FileName == name)
            return short(i);
    return 0;
}

} // namespace app::mGENERAL
