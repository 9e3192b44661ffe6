// The recent list against a model of it: newest first, no repeats, at most five, and a path
// holding "~" (which the stored form cannot hold) never listed.
#include <QStringList>

#include "fuzz.h"
#include "project/recentlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString list;
    QStringList model;
    for (const QByteArray& field : fuzz::fields(data, size, 1)) {
        const QString path = QString::fromUtf8(field);
        const QString before = list;
        list = project::recentlist::add(list, path);
        if (path.isEmpty() || path.contains(QLatin1Char('~'))) {
            FUZZ_CHECK(list == before);
            continue;
        }
        model.removeAll(path);
        model.prepend(path);
        if (model.size() > 5)
            model.removeLast();
        FUZZ_CHECK(project::recentlist::items(list) == model);
    }
    project::recentlist::items(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size))); // any stored text
    return 0;
}
