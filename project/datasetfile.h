#pragma once
// The dataset file format: pure functions over names and lines.
#include <QByteArrayView>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace project::datasetfile {

/// True for a file name with a dot whose text after the last dot is exactly "ftd".
bool isDatasetFile(const QString& fileName);
/// The card FileName a dataset file belongs to: its base name (up to the first dot) up to the
/// last "_". Empty when the base name has no "_".
QString ownerCard(const QString& fileName);
/// Whether fileName is a dataset of the card cardFile. A card without a name owns nothing.
bool belongsTo(const QString& fileName, const QString& cardFile);
/// The UTF-8 copy's name: every ".ftd" replaced by ".ft8".
QString copyName(const QString& fileName);

// The one reading of a dataset line, for the lines of the file in the code page and the UTF-8
// bytes of its copy alike. A line is "KEY~value", cut at "~" and its value at ";" ("TAG~id;value");
// text after a second separator is dropped.

/// Text cut at a separator: the key before the first, the value up to the second.
template <class View> struct Cut {
    View key;
    View value;
    bool hasValue = false; // the text holds the separator
};
/// Text cut at its first two separators.
template <class View> Cut<View> cutAt(View text, char separator)
{
    Cut<View> out;
    const qsizetype first = text.indexOf(separator);
    out.key = first < 0 ? text : text.first(first);
    if (first >= 0) {
        const qsizetype second = text.indexOf(separator, first + 1);
        out.value = text.sliced(first + 1, (second < 0 ? text.size() : second) - first - 1);
        out.hasValue = true;
    }
    return out;
}
/// A line cut at "~": its key and its value.
template <class View> Cut<View> cutLine(View line) { return cutAt(line, '~'); }
/// A "TAG" value cut at ";": the key part is the tag id, the value part its value.
template <class View> Cut<View> cutTag(View value) { return cutAt(value, ';'); }

/// The key of a line. An empty line has none (raises 9).
QString lineKey(const QString& line);
/// The value of a line (raises 9 without "~").
QString lineValue(const QString& line);

/// The lines of a dataset file's bytes whose key is key, and the empty lines, which have no key;
/// decoded in the code page. A reader after one key steps through these alone: the other lines
/// would neither match nor fail. numbers, when given, receives the line number of each (from 1).
QStringList keyedLines(QByteArrayView bytes, QStringView key, QList<int>* numbers = nullptr);

struct TagValue {
    QString id;
    QString value;
};
/// A "TAG" line's value cut at ";": id and value; raises 9 when either is missing.
TagValue tagValue(const QString& value);

/// The lines of a dataset file: the title line, then one line per tag when tags are given.
QStringList composeLines(const QString& title, const QList<TagValue>& tags);

/// The 36 characters new dataset names are drawn from.
inline constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
/// length characters drawn uniformly from kAlphabet; empty for a length below 1.
QString randomString(int length, QRandomGenerator& generator);

/// What the file cannot give back. The format cuts a line at "~" (and a tag value at ";"), and a
/// line break would end the line. Control characters other than TAB the template data cannot carry,
/// and a character the project's code page cannot hold the file would write as "?".
enum class Field { Title, Value };
/// Why text cannot be stored in field; empty when it can.
QString refusal(const QString& text, Field field);

} // namespace project::datasetfile
