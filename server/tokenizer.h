#pragma once
// How the playout server reads one command line into parameters. The client composes its lines
// so that this reading gives back exactly what the operator typed; the tests and the fuzz
// targets read the lines back through it.
#include <QByteArray>
#include <QList>

namespace server {

/// The parameters of one command (its CR LF already taken off). A space separates parameters
/// outside quotes; a double quote opens or closes a quoted parameter, which may be empty. Inside
/// one, "\\" gives a backslash, "\"" a double quote, "\n" a line break, and any other escaped
/// character is dropped with its backslash. An unclosed final quote still yields its parameter.
QList<QByteArray> parameters(const QByteArray& command);

} // namespace server
