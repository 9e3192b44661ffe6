#include "playlist/playlistfile.h"

#include "fault/runtimeerror.h"
#include "project/convert.h"

namespace playlist::playlistfile {

bool namesDataset(const QString& line)
{
    return !line.isEmpty() && !line.contains(QLatin1Char('/')) && !line.contains(QLatin1Char('\\')) &&
           line != QLatin1String(".") && line != QLatin1String("..");
}

QStringList stepNames(const project::CARD& card, bool addedFromTree)
{
    QStringList names;
    if (card.Command.isEmpty())
        names << project::action::Play << project::action::Update;
    else
        names << project::action::Custom;
    if (card.Command.isEmpty() || addedFromTree)
        names << project::convert::cut(card.Invoke, QLatin1Char(';'));
    return names;
}

int columnCount(int maxInvokes)
{
    constexpr int kPlayAndUpdate = 2; // the steps every card without a command has
    const int count = Col::Steps + kPlayAndUpdate + maxInvokes;
    if (count > 32767)
        fault::raise(fault::Overflow, QStringLiteral("Overflow: %1 playlist columns").arg(count));
    return count;
}

} // namespace playlist::playlistfile
