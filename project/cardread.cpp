#include "project/cardread.h"

#include "project/cores.h"
#include "project/paths.h"
#include "project/textfile.h"

namespace project::cardread {

std::vector<Ahead> readAll(const QString& folder, const QStringList& names)
{
    std::vector<Ahead> cards(size_t(names.size()));
    constexpr size_t kAlone = 64; // fewer cards are read on this thread alone
    // Each core keeps the texts it met once; a text met on two cores is kept twice.
    cores::forEach<cardfile::TextPool>(cards.size(), kAlone, [&](size_t i, cardfile::TextPool& texts) {
        try {
            const QString& name = names[qsizetype(i)];
            const QStringList lines = textfile::readLines(paths::join(folder, name));
            cards[i].parsed = cardfile::parse(name, lines, &texts);
            cards[i].read = true;
        } catch (...) {
            cards[i] = Ahead(); // read again by the caller, which reports what fails
        }
    });
    return cards;
}

} // namespace project::cardread
