#pragma once
// How the playout server reads one command line into parameters. The client composes its lines
// so that this reading gives back exactly what the operator typed; the monitor shows and answers
// lines by it, and the tests and the fuzz targets read the lines back through it.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <limits>

namespace monitor {

/// What the server reads from one command line.
struct Tokens {
    QList<QByteArray> parameters; // the first ones, as many as were asked for, in UTF-8
    qsizetype count = 0;          // all of them, kept or not
    qsizetype invalidBytes = 0;   // bytes that are not UTF-8, dropped before the line is read
};

/// Reads one command (its CR LF already taken off) as the server does:
/// 1. the line is decoded as UTF-8 first and every byte that is not part of a valid sequence is
///    dropped (a leading U+FEFF stays, as a character);
/// 2. a backslash escapes everywhere, in quotes or not: "\\" gives a backslash, "\"" a double
///    quote, "\n" a line break; any other escaped character (a whole one, even if it takes
///    several bytes) is dropped with its backslash, and so is a backslash at the end;
/// 3. outside quotes, "(" ... ")" is one parameter: blanks inside do not split, a double quote
///    inside is a character, and the ")" that closes the outermost group ends the parameter. A
///    stray ")" takes the depth below zero, and nothing splits until a "(" balances it;
/// 4. outside groups, a blank separates parameters; a double quote opens a quoted part that
///    holds blanks and is glued to the text before it, and the closing one ends the parameter,
///    even an empty one;
/// 5. an unclosed final quote gives its parameter, unless nothing follows it.
/// Only the first keep parameters are kept; the rest are counted.
Tokens tokenize(QByteArrayView command, qsizetype keep = std::numeric_limits<qsizetype>::max());

/// Every parameter of command, as tokenize reads them.
QList<QByteArray> parameters(QByteArrayView command);

/// The line as the server holds it after decoding: its valid UTF-8, every other byte dropped.
QByteArray decoded(const QByteArray& line);

} // namespace monitor
