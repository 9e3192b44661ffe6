#pragma once
#include <QList>
#include <QHash>
#include <QString>
#include <QStringList>

#include "fault/runtimeerror.h"
#include "project/card.h"

/// The card definition file format.
namespace project::cardfile {

/// True for a file name with a dot whose text after the last dot is exactly "fti".
bool isCardFile(const QString& fileName);
/// The name up to its first dot: the card's FileName.
QString baseName(const QString& fileName);
/// "VIDEO" 1, "CARD" 2, "MIXER" 3 without regard to case; anything else 0.
short typeCode(const QString& word);
/// How many names an INVOKE value holds: the empty value none, a trailing ";" an empty last one.
int invokeCount(const QString& value);


/// Texts kept once however many cards repeat them: a text met before is found in place, without
/// a copy, and a thousand cards hold one copy of each tag title, id and type.
class TextPool {
public:
    QString keep(QStringView text);

private:
    QHash<QStringView, QString> texts_; // each key views its own value's characters
};

/// What one card file gives.
struct Parsed {
    project::CARD card;
    /// The most invoke names one of its INVOKE lines gave (a later line may give fewer).
    int maxInvokes = 0;
    /// Each failure, in the order its line met it. A line that fails as a whole still goes on as
    /// far as it can: an empty line fails at its keyword, is taken for a TYPE line, and fails
    /// again at its value; a TAG line keeps the items before its first missing one.
    QList<fault::RuntimeError> failures;
};
/// The card of file name (its FileName is the name up to the first dot) from its lines: lines
/// "KEYWORD:value" cut at ":", the text after a second ":" dropped; "TAG:title;id;ani;type" fills
/// the next of the kTagSlots slots. shared, when given, keeps each tag text once across cards.
Parsed parse(const QString& name, const QStringList& lines, TextPool* shared = nullptr);

} // namespace project::cardfile
