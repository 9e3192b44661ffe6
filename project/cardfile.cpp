#include "project/cardfile.h"

#include "project/convert.h"

namespace project::cardfile {

bool isCardFile(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && fileName.mid(dot + 1) == QLatin1String("fti");
}

QString baseName(const QString& fileName)
{
    const qsizetype dot = fileName.indexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

short typeCode(const QString& word)
{
    const QString upper = word.toUpper();
    if (upper == QLatin1String("VIDEO"))
        return 1;
    if (upper == QLatin1String("CARD"))
        return 2;
    if (upper == QLatin1String("MIXER"))
        return 3;
    return 0;
}

int invokeCount(const QString& value)
{
    return value.isEmpty() ? 0 : int(value.count(QLatin1Char(';'))) + 1;
}


QString TextPool::keep(QStringView text)
{
    const auto known = texts_.constFind(text);
    if (known != texts_.cend())
        return *known;
    const QString kept = text.toString();
    texts_.insert(QStringView(kept), kept); // the value shares the characters the key views
    return kept;
}

Parsed parse(const QString& name, const QStringList& lines, TextPool* shared)
{
    Parsed out;
    project::CARD& card = out.card;
    card.FileName = baseName(name);
    // A failing piece is noted and the line goes on, as the operator's Ignore would have it; a
    // line without a keyword goes on as the first kind of line.
    int number = 0; // the line read, from 1: each failure says where it is
    const auto attempt = [&](auto&& piece) {
        try {
            piece();
            return true;
        } catch (const fault::RuntimeError& failure) {
            out.failures.append(fault::atLine(failure, name, number));
            return false;
        }
    };

    // Cards of one project repeat their tags' texts: a thousand cards then hold one copy of each.
    const auto kept = [&](QStringView text) { return shared ? shared->keep(text) : text.toString(); };
    int t = 0;
    for (const QString& line : lines) {
        ++number;
        // Read in place: only what the card keeps is copied.
        const convert::Pieces parts(line, QLatin1Char(':'));
        QStringView key;
        const bool keyed = attempt([&] { key = parts.at(0); });
        const auto is = [&](QLatin1String keyword) { return !keyed || key == keyword; };
        if (is(QLatin1String("TYPE"))) {
            attempt([&] { card.Type = typeCode(parts.at(1).toString()); });
        } else if (is(QLatin1String("CARDTITLE"))) {
            attempt([&] { card.Title = parts.at(1).toString(); });
        } else if (is(QLatin1String("CHANNEL"))) {
            attempt([&] { card.Channel = convert::toInteger16(parts.at(1)); });
        } else if (is(QLatin1String("LAYER"))) {
            attempt([&] { card.Layer = convert::toInteger16(parts.at(1)); });
        } else if (is(QLatin1String("COMMAND"))) {
            attempt([&] { card.Command = parts.at(1).toString(); });
        } else if (is(QLatin1String("INVOKE"))) {
            attempt([&] { card.Invoke = parts.at(1).toString(); });
            out.maxInvokes = std::max(out.maxInvokes, invokeCount(card.Invoke));
        } else if (is(QLatin1String("TAG"))) {
            ++t;
            if (t > kTagSlots) {
                out.failures.append(fault::atLine(
                    fault::RuntimeError(fault::SubscriptOutOfRange,
                                        QStringLiteral("Subscript out of range: tag slot %1 of card %2 (at most %3 tags)")
                                            .arg(QString::number(t), card.FileName, QString::number(kTagSlots))),
                    name, number));
                continue; // past the last slot: this tag is not stored
            }
            TAGDEF& slot = card.Tags[size_t(t)];
            QStringView value;
            attempt([&] { value = parts.at(1); });
            const convert::Pieces items(value, QLatin1Char(';'));
            attempt([&] { slot.Title = kept(items.at(0)); });
            attempt([&] {
                const QStringView id = items.at(1);
                // Dataset lines are cut at "~": a value saved under such an id could never be read back.
                if (id.contains(QLatin1Char('~')))
                    fault::raise(fault::InvalidProcedureCall,
                                 QStringLiteral("Invalid procedure call or argument: the tag id \"") + id.toString() +
                                     QStringLiteral("\" of ") + name +
                                     QStringLiteral(" holds \"~\", which a dataset file cannot keep; the tag is left out"));
                slot.Id = kept(id);
            });
            attempt([&] { slot.Ani = convert::toInteger16(items.at(2)); });
            attempt([&] { slot.Type = kept(items.at(3)); });
        }
    }
    card.Tags.squeeze();
    return out;
}

} // namespace project::cardfile
