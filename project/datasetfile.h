#pragma once
// The dataset file format: pure functions over names and lines.
#include <QByteArrayView>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace datasetfile {

/// True for a file name with a dot whose text after the last dot is exactly "ftd".
bool isDatasetFile(const QString& fileName);
/// The card FileName a dataset file belongs to: its base name (up to the first dot) up to the
/// last "_". Empty when the base name has no "_".
QString ownerCard(const QString& fileName);
/// Whether fileName is a dataset of the card cardFile. A card without a name owns nothing.
bool belongsTo(const QString& fileName, const QString& cardFile);
/// The UTF-8 copy's name: every ".ftd" replaced by ".ft8".
QString copyName(const QString& fileName);

/// The key of a line: the text before the first "~". An empty line has none (raises 9).
QString lineKey(const QString& line);
/// The value of a line: the text between the first and second "~" (raises 9 without "~").
QString lineValue(const QString& line);

/// The lines of a dataset file's bytes whose key is key, and the empty lines, which have no key;
/// decoded in the code page. A reader after one key steps through these alone: the other lines
/// would neither match nor fail.
QStringList keyedLines(QByteArrayView bytes, QStringView key);

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
/// line break would end the line. Control characters other than TAB the template data cannot carry.
enum class Field { Title, Value };
/// Why text cannot be stored in field; empty when it can.
QString refusal(const QString& text, Field field);

} // namespace datasetfile
