#include "app/recentlist.h"


namespace recentlist {

QStringList items(const QString& list)
{
    if (list.isEmpty())
        return {};
    QString flat = list;
    flat.replace(QLatin1String("~~"), QLatin1String("!"));
    flat.remove(QLatin1Char('~'));
    return flat.split(QLatin1Char('!'));
}

QString add(const QString& list, const QString& path)
{
    const QString key = QLatin1Char('~') + path + QLatin1Char('~');
    if (list.contains(key)) {
        QString rest = list;
        rest.remove(key);
        return key + rest;
    }
    QString kept = list;
    if (items(list).size() >= 5) {
        const qsizetype lastJoin = kept.lastIndexOf(QLatin1String("~~"));
        if (lastJoin >= 0)
            kept.truncate(lastJoin + 1);
    }
    return key + kept;
}

} // namespace recentlist
