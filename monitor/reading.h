#pragma once
// What the playout server makes of one command line: its parameters, the fields of its template
// data, the reply; and how the monitor prints it. Pure functions of the line's bytes.
#include <QByteArray>
#include <QList>
#include <QString>

namespace monitor {

/// One field of a template-data document: a component's id and its data's value.
struct Field {
    QString id;
    QString value;
    bool operator==(const Field&) const = default;
};

struct Reading {
    QList<QByteArray> parameters; // as the server's tokenizer splits the line
    bool utf8 = true;             // false: the line is not valid UTF-8
    bool hasTemplateData = false; // a CG ADD or UPDATE line that carries a document
    QList<Field> fields;          // the document's fields, in order
    QString xmlError;             // the parser's message when the document is malformed
    QByteArray reply;             // the server's answer, CR LF included
};

/// Reads one line (its CR LF already taken off).
Reading read(const QByteArray& line);

/// The fields of a template-data document; error gets the parser's message, with its line and
/// column, when the document is malformed.
QList<Field> templateFields(const QByteArray& document, QString* error);

/// The printout of one reading: the prefix (time stamp, client), one parameter per line, the
/// fields or the flags, the reply. Control characters are shown escaped, never sent to the
/// terminal; a parameter longer than maxShown characters is shown cut, with its size.
QString render(const QString& prefix, const Reading& reading, qsizetype maxShown = 300);

/// Text of untrusted bytes fit for a terminal: control characters as \n, \r, \t or \xHH.
QString printable(const QString& text, qsizetype maxShown);

} // namespace monitor
