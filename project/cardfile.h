#pragma once
#include <QString>

/// Pieces of the card definition file format.
namespace cardfile {

/// True for a file name with a dot whose text after the last dot is exactly "fti".
bool isCardFile(const QString& fileName);
/// The name up to its first dot: the card's FileName.
QString baseName(const QString& fileName);
/// "VIDEO" 1, "CARD" 2, "MIXER" 3 without regard to case; anything else 0.
short typeCode(const QString& word);
/// How many names an INVOKE value holds: the empty value none, a trailing ";" an empty last one.
int invokeCount(const QString& value);

} // namespace cardfile
