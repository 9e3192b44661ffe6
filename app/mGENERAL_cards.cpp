#include <QSet>
#include <algorithm>

#include "app/frmMAIN.h"
#include "fault/trap.h"
#include "project/cardfile.h"
#include "project/convert.h"
#include "app/mGENERAL.h"
#include "project/textfile.h"
#include "server/compose.h"

namespace mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = linebase::mGENERAL_cards;

// Raises 9 when the card has no slot for its tag number slot.
void RequireTagSlot(const CARD& card, int slot)
{
    if (slot < 1 || slot > kTagSlots)
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: tag slot %1 of card %2 (at most %3 tags)")
                         .arg(QString::number(slot), card.FileName, QString::number(kTagSlots)));
}

// Dataset lines are cut at "~": a value saved under such an id could never be read back.
QString StorableTagId(const QString& cardFile, const QString& id)
{
    if (id.contains(QLatin1Char('~')))
        fault::raise(fault::InvalidProcedureCall,
                     QStringLiteral("Invalid procedure call or argument: the tag id \"") + id +
                         QStringLiteral("\" of ") + cardFile +
                         QStringLiteral(" holds \"~\", which a dataset file cannot keep; the tag is left out"));
    return id;
}

// The text met before when there is one: cards of one project repeat their tags' ids, titles
// and types, and a thousand cards would otherwise hold as many copies of each.
QString Shared(QSet<QString>& texts, const QString& text) { return *texts.insert(text); }
} // namespace

void LOADCARDS(frmMAIN& f)
{
    ARM_TRAP();
    State& s = f.s;
    QStringList files;
    QStringList lines;
    QStringList parts;
    QStringList items;
    QSet<QString> texts; // the tag texts met so far, kept once however many cards repeat them
    int n = 0;
    int t = 0;

    s.CARDS.assign(2, CARD());
    STEP(files = textfile::listFiles(s.ProjectFolder));
    // Room for every card at once: a table of a thousand cards is not copied while it grows.
    s.CARDS.reserve(size_t(std::count_if(files.cbegin(), files.cend(), cardfile::isCardFile)) + 1);
    for (const QString& name : files) {
        if (!cardfile::isCardFile(name))
            continue;
        ++n;
        if (n >= int(s.CARDS.size()))
            s.CARDS.resize(size_t(n) + 1);
        CARD& card = s.CARDS[size_t(n)];
        card.FileName = cardfile::baseName(name);
        lines.clear();
        STEP(lines = textfile::readLines(textfile::join(s.ProjectFolder, name)));
        card.Type = 0;
        t = 0;
        for (const QString& line : lines) {
            parts = convert::cut(line, QLatin1Char(':'));
            if (STEP_IF(convert::item(parts, 0) == QLatin1String("TYPE"))) {
                STEP(card.Type = cardfile::typeCode(convert::item(parts, 1)));
            } else if (STEP_IF(convert::item(parts, 0) == QLatin1String("CARDTITLE"))) {
                STEP(card.Title = convert::item(parts, 1));
            } else if (STEP_IF(convert::item(parts, 0) == QLatin1String("CHANNEL"))) {
                STEP(card.Channel = convert::toInteger16(convert::item(parts, 1)));
            } else if (STEP_IF(convert::item(parts, 0) == QLatin1String("LAYER"))) {
                STEP(card.Layer = convert::toInteger16(convert::item(parts, 1)));
            } else if (STEP_IF(convert::item(parts, 0) == QLatin1String("COMMAND"))) {
                STEP(card.Command = convert::item(parts, 1));
            } else if (STEP_IF(convert::item(parts, 0) == QLatin1String("INVOKE"))) {
                STEP(card.Invoke = convert::item(parts, 1));
                s.MaxInvokes = short(std::max<int>(s.MaxInvokes, cardfile::invokeCount(card.Invoke)));
            } else if (STEP_IF(convert::item(parts, 0) == QLatin1String("TAG"))) {
                ++t;
                items.clear();
                if (!STEP(RequireTagSlot(card, t)))
                    continue; // past the last slot: this tag is not stored
                TAGDEF& slot = card.Tags[size_t(t)];
                STEP(items = convert::cut(convert::item(parts, 1), QLatin1Char(';')));
                STEP(slot.Title = Shared(texts, convert::item(items, 0)));
                STEP(slot.Id = Shared(texts, StorableTagId(name, convert::item(items, 1))));
                STEP(slot.Ani = convert::toInteger16(convert::item(items, 2)));
                STEP(slot.Type = Shared(texts, convert::item(items, 3)));
            }
        }
    }

    ui::Grid& grid = *f.vsCARDS;
    LayOutGrid(grid, {"card index", "Title", "Ft", "C:L"}, {0, 2200, 800, 10});
    grid.setColHidden(CardCol::Index, true);
    for (size_t i = 1; i < s.CARDS.size(); ++i) {
        const CARD& card = s.CARDS[i];
        // Cell by cell: a title may hold a TAB.
        grid.addItem(QStringList{QString::number(i), card.Title, card.FileName,
                                 QString::number(card.Channel) + QLatin1Char(':') + QString::number(card.Layer)});
    }

    if (grid.rows() > 1) {
        STEP(grid.setRow(1));
        STEP(s.CurrentCard = convert::toInteger16(grid.textMatrix(grid.row(), CardCol::Index)));
        STEP(s.CurrentCardFile = grid.textMatrix(grid.row(), CardCol::FileName));
        s.LoadingDatasets = true;
        LOADDATASET(f, s.CurrentCardFile);
    }
    s.LoadingCards = false;
}

short FindCardIndex(const State& s, const QString& name)
{
    ARM_TRAP();
    for (size_t i = 1; i < s.CARDS.size(); ++i)
        if (s.CARDS[i].FileName == name)
            return short(i);
    return 0;
}

short FindTagInCard(const State& s, short card, const QString& id)
{
    ARM_TRAP();
    short found = 0;
    STEP(found = short(compose::findTag(CardRecord(s, card).Tags, id.toUtf8())));
    return found;
}

} // namespace mGENERAL
