#include "project/datasetfile.h"

#include "fault/runtimeerror.h"
#include "project/cardfile.h"
#include "project/codepage.h"
#include "project/convert.h"
#include "project/textlines.h"

namespace project::datasetfile {

bool isDatasetFile(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && QStringView(fileName).sliced(dot + 1) == QLatin1String("ftd");
}

QString ownerCard(const QString& fileName)
{
    const QString base = project::cardfile::baseName(fileName);
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

QString lineKey(const QString& line)
{
    if (line.isEmpty())
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: item 1 of 0"));
    return cutLine(QStringView(line)).key.toString();
}

QString lineValue(const QString& line)
{
    const Cut<QStringView> cut = cutLine(QStringView(line));
    // An empty line has no items at all, as it has no key.
    if (!cut.hasValue)
        fault::raise(fault::SubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: item 2 of %1").arg(line.isEmpty() ? 0 : 1));
    return cut.value.toString();
}

QStringList keyedLines(QByteArrayView bytes, QStringView key, QList<int>* numbers)
{
    QStringList lines;
    const project::codepage::Units& units = project::codepage::units();
    int number = 0;
    project::textfile::forEachLine(bytes, [&](QByteArrayView line) {
        ++number;
        // The key compared byte by byte through the code page, from the line's start, so that
        // most lines go at their first bytes: only the lines kept are decoded.
        if (!line.isEmpty()) {
            const qsizetype size = key.size();
            if (line.size() < size || (line.size() > size && line[size] != '~'))
                return;
            for (qsizetype i = 0; i < size; ++i)
                if (line[i] == '~' || units[uchar(line[i])] != key[i].unicode())
                    return;
        }
        lines.append(project::codepage::decode(line));
        if (numbers)
            numbers->append(number);
    });
    return lines;
}

TagValue tagValue(const QString& value)
{
    if (value.isEmpty())
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: item 1 of 0"));
    const Cut<QStringView> cut = cutTag(QStringView(value));
    if (!cut.hasValue)
        fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: item 2 of 1"));
    return {cut.key.toString(), cut.value.toString()};
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
    // What the file would write as "?" and put on air so: the operator keeps the text to change it.
    if (const QString c = project::codepage::unheld(text); !c.isEmpty())
        return what + QStringLiteral(" cannot hold %1: the project's code page, %2, has no such character.")
                          .arg(c, project::codepage::name());
    return QString();
}

} // namespace project::datasetfile
