#include "project/paths.h"

#include <QDir>

namespace project::paths {

QString lastComponent(const QString& path)
{
    qsizetype last = path.lastIndexOf(QDir::separator());
#ifdef Q_OS_WIN
    last = std::max(last, path.lastIndexOf(QLatin1Char('/')));
#endif
    return last < 0 ? path : path.mid(last + 1);
}

QString normalFolder(const QString& path)
{
    if (path.isEmpty())
        return path;
    QString clean = QDir::cleanPath(QDir(QDir::fromNativeSeparators(path)).absolutePath());
#ifdef Q_OS_WIN
    // "\news" lies on the current drive, which the whole path names; "\\host\share" is whole.
    if (clean.startsWith(QLatin1Char('/')) && !clean.startsWith(QLatin1String("//")))
        clean.prepend(QDir::currentPath().left(2));
#endif
    // ".." at a root is the root itself.
    const qsizetype root = clean.indexOf(QLatin1Char('/')) + 1;
    while (root > 0 && clean.mid(root, 2) == QLatin1String("..") &&
           (clean.size() == root + 2 || clean.at(root + 2) == QLatin1Char('/')))
        clean.remove(root, clean.size() == root + 2 ? 2 : 3);
    return QDir::toNativeSeparators(clean);
}

QString escapedName(QByteArrayView raw)
{
    QString out;
    out.reserve(raw.size());
    for (const char c : raw) {
        const uchar b = uchar(c);
        if (b == '\\')
            out += QLatin1String("\\\\");
        else if (b >= 0x20 && b < 0x7F)
            out += QLatin1Char(c);
        else
            out += QLatin1String("\\x") + QString::number(b, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    return out;
}

QString join(const QString& folder, const QString& name)
{
    const QChar sep = QDir::separator();
    if (folder.endsWith(sep) || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + sep + name;
}

} // namespace project::paths
