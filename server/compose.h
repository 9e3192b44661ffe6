#pragma once
// Composition of template data and AMCP lines: pure functions of their inputs, so the on-air
// button and the playlist send the same bytes for the same card, dataset and action.
#include <QByteArray>
#include <QList>
#include <QString>

#include "project/card.h"

namespace server::compose {

using Tags = decltype(project::CARD::Tags);

/// What an action name asks for, chosen by its upper-case form; any other name is invoked.
enum class Kind { Custom, Add, Update, Invoke };
Kind kindOf(const QString& action);
/// Add and update lines carry the template data, so only they read the dataset copy.
bool carriesTemplateData(Kind kind);

/// The first slot (1 to kTagSlots) whose Id is id, compared as UTF-8; an empty slot never matches.
int findTag(const Tags& tags, const QByteArray& id);

/// "&", "<", ">", the double quote, the apostrophe and TAB as XML character references.
QByteArray xmlEscaped(const QByteArray& text);

/// The template-data document as the text of a quoted parameter: backslashes doubled, attribute
/// delimiters turned into backslash plus double quote. copyLines are the bytes of the copy's
/// lines; copy names it in failures. A TAG line without "~" or ";" raises 9. What XML cannot
/// carry is left out of ids, types and values.
QByteArray templateData(short channel, const Tags& tags, const QList<QByteArray>& copyLines,
                        const QString& copy = QString());

struct Inputs {
    short channel = 0;
    short layer = 0;
    QString projectName;
    QString fileName; // the card's FileName: the template's name
    Tags tags;
    QString command;  // the card's custom command
    QList<QByteArray> copyLines;
    QString copy;     // the copy's name, for failure descriptions
    QString action;
};

/// One complete line in UTF-8, ending in its only CR LF: a text that would put a line break
/// inside it raises 5, naming the field, and nothing is composed.
QByteArray line(const Inputs& in);

/// "CLEAR 2" and CR LF: clears every layer of a channel.
QByteArray clearLine(short channel);
/// "CLEAR 1-20" and CR LF: clears one layer of a channel.
QByteArray clearLine(short channel, short layer);

} // namespace server::compose
