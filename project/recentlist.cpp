#include "project/recentlist.h"


namespace project::recentlist {

QStringList items(const QString& list)
{
    if (list.isEmpty())
        return {};
    QString inner = list;
    if (inner.startsWith(QLatin1Char('~')))
        inner.remove(0, 1);
    if (inner.endsWith(QLatin1Char('~')))
        inner.chop(1);
    return inner.split(QLatin1String("~~"));
}

QString add(const QString& list, const QString& path)
{
    // The stored form cannot hold a path with "~": it is opened, not listed. An empty path
    // would match every "~~" between two entries.
    if (path.isEmpty() || path.contains(QLatin1Char('~')))
        return list;
    const QString key = QLatin1Char('~') + path + QLatin1Char('~');
    if (list.contains(key)) {
        QString rest = list;
        rest.remove(key);
        return key + rest;
    }
    QString kept = list;
    if (items(list).size() >= kMaxItems) {
        const qsizetype lastJoin = kept.lastIndexOf(QLatin1String("~~"));
        if (lastJoin >= 0)
            kept.truncate(lastJoin + 1);
    }
    return key + kept;
}

} // namespace project::recentlist
