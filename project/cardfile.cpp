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


Parsed parse(const QString& name, const QStringList& lines, QSet<QString>* shared)
{
    Parsed out;
    project::CARD& card = out.card;
    card.FileName = baseName(name);
    // A failing piece is noted and the line goes on, as the operator's Ignore would have it; a
    // failing keyword test counts as a match.
    const auto attempt = [&](auto&& piece) {
        try {
            piece();
            return true;
        } catch (const fault::RuntimeError& failure) {
            out.failures.append(failure);
            return false;
        }
    };
    const auto is = [&](const QStringList& parts, QLatin1String keyword) {
        bool match = true;
        attempt([&] { match = project::convert::item(parts, 0) == keyword; });
        return match;
    };
    // Cards of one project repeat their tags' texts: a thousand cards then hold one copy of each.
    const auto kept = [&](const QString& text) { return shared ? *shared->insert(text) : text; };
    int t = 0;
    for (const QString& line : lines) {
        const QStringList parts = project::convert::cut(line, QLatin1Char(':'));
        if (is(parts, QLatin1String("TYPE"))) {
            attempt([&] { card.Type = typeCode(project::convert::item(parts, 1)); });
        } else if (is(parts, QLatin1String("CARDTITLE"))) {
            attempt([&] { card.Title = project::convert::item(parts, 1); });
        } else if (is(parts, QLatin1String("CHANNEL"))) {
            attempt([&] { card.Channel = project::convert::toInteger16(project::convert::item(parts, 1)); });
        } else if (is(parts, QLatin1String("LAYER"))) {
            attempt([&] { card.Layer = project::convert::toInteger16(project::convert::item(parts, 1)); });
        } else if (is(parts, QLatin1String("COMMAND"))) {
            attempt([&] { card.Command = project::convert::item(parts, 1); });
        } else if (is(parts, QLatin1String("INVOKE"))) {
            attempt([&] { card.Invoke = project::convert::item(parts, 1); });
            out.maxInvokes = std::max(out.maxInvokes, invokeCount(card.Invoke));
        } else if (is(parts, QLatin1String("TAG"))) {
            ++t;
            if (t > project::kTagSlots) {
                out.failures.append(fault::RuntimeError(
                    fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: tag slot %1 of card %2 (at most %3 tags)")
                                                    .arg(QString::number(t), card.FileName, QString::number(project::kTagSlots))));
                continue; // past the last slot: this tag is not stored
            }
            project::TAGDEF& slot = card.Tags[size_t(t)];
            QStringList items;
            attempt([&] { items = project::convert::cut(project::convert::item(parts, 1), QLatin1Char(';')); });
            attempt([&] { slot.Title = kept(project::convert::item(items, 0)); });
            attempt([&] {
                const QString id = project::convert::item(items, 1);
                // Dataset lines are cut at "~": a value saved under such an id could never be read back.
                if (id.contains(QLatin1Char('~')))
                    fault::raise(fault::InvalidProcedureCall,
                                 QStringLiteral("Invalid procedure call or argument: the tag id \"") + id +
                                     QStringLiteral("\" of ") + name +
                                     QStringLiteral(" holds \"~\", which a dataset file cannot keep; the tag is left out"));
                slot.Id = kept(id);
            });
            attempt([&] { slot.Ani = project::convert::toInteger16(project::convert::item(items, 2)); });
            attempt([&] { slot.Type = kept(project::convert::item(items, 3)); });
        }
    }
    return out;
}

} // namespace project::cardfile
