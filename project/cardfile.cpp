#include "project/cardfile.h"

namespace cardfile {

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

} // namespace cardfile
