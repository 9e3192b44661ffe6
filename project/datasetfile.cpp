#include "project/datasetfile.h"

#include "fault/runtimeerror.h"
#include "project/cardfile.h"
#include "project/codepage.h"
#include "project/textfile.h"
#include "project/convert.h"

namespace datasetfile {

bool isDatasetFile(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && QStringView(fileName).sliced(dot + 1) == QLatin1String("ftd");
}

QString ownerCard(const QString& fileName)
{
    const QString base = cardfile::baseName(fileName);
    const qsizetype underscore = base.lastIndexOf(QLatin1Char('_'));
    return underscore < 0 ? QString() : base.left(underscore);
}

bool belongsTo(const QString& fileName, const QString& cardFile)
{
    // A card's own names start with its name: the others of a large folder go at the first test.
    return !cardFile.isEmpty() && fileName.startsWith(cardFile) && isDatasetFile(fileName) &&
           ownerCard(fileName) == cardFile;
}

QString copyName(const QString& fileName)
{
    QString copy = fileName;
    return copy.replace(QLatin1String(".ftd"), QLatin1String(".ft8"));
}

// Cut at "~" without making every part: these run over every line of every dataset.
QString lineKey(const QString& line)
{
    if (line.isEmpty())
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: item 1 of 0"));
    const qsizetype first = line.indexOf(QLatin1Char('~'));
    return first < 0 ? line : line.left(first);
}

QString lineValue(const QString& line)
{
    const qsizetype first = line.indexOf(QLatin1Char('~'));
    if (first < 0)
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: item 2 of 1"));
    const qsizetype second = line.indexOf(QLatin1Char('~'), first + 1);
    return line.mid(first + 1, second < 0 ? -1 : second - first - 1);
}

QStringList keyedLines(QByteArrayView bytes, QStringView key)
{
    QStringList lines;
    const codepage::Units& units = codepage::units();
    textfile::forEachLine(bytes, [&](QByteArrayView line) {
        // Byte by byte through the code page: only the lines kept are decoded whole.
        if (!line.isEmpty()) {
            if (line.size() < key.size())
                return;
            for (qsizetype i = 0; i < key.size(); ++i)
                if (units[uchar(line[i])] != key[i].unicode())
                    return;
            if (line.size() > key.size() && units[uchar(line[key.size()])] != u'~')
                return;
        }
        lines.append(codepage::decode(line));
    });
    return lines;
}

TagValue tagValue(const QString& value)
{
    const QStringList items = convert::cut(value, QLatin1Char(';'));
    return {convert::item(items, 0), convert::item(items, 1)};
}

QStringList composeLines(const QString& title, const QList<TagValue>& tags)
{
    QStringList lines{QStringLiteral("TITLE~") + title};
    for (const TagValue& tag : tags)
        lines.append(QStringLiteral("TAG~") + tag.id + QLatin1Char(';') + tag.value);
    return lines;
}

QString randomString(int length, QRandomGenerator& generator)
{
    constexpr int size = int(sizeof(kAlphabet)) - 1;
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QLatin1Char(kAlphabet[generator.bounded(size)]));
    return text;
}

QString refusal(const QString& text, Field field)
{
    const QString what = field == Field::Title ? QStringLiteral("A title") : QStringLiteral("A value");
    if (text.contains(QLatin1Char('~')))
        return what + QStringLiteral(" cannot hold \"~\": the dataset file ends the entry there.");
    if (field == Field::Value && text.contains(QLatin1Char(';')))
        return what + QStringLiteral(" cannot hold \";\": the dataset file ends the value there.");
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return what + QStringLiteral(" cannot hold a line break: the dataset file ends the line there.");
    // What the template data cannot carry: the control characters other than TAB.
    for (QChar c : text)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return what + QStringLiteral(" cannot hold the control character %1: the template data cannot carry it.")
                              .arg(QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper());
    return QString();
}

} // namespace datasetfile
