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

/// However many parameters or fields a line holds, only this many are kept (the rest are
/// counted) and this many printed.
constexpr qsizetype kKeptItems = 1000;
constexpr qsizetype kShownItems = 300;

struct Reading {
    QList<QByteArray> parameters; // the first kKeptItems, as the server's tokenizer splits the line
    qsizetype parameterCount = 0; // all of them
    qsizetype invalidBytes = 0;   // bytes that are not UTF-8: the server drops them
    bool loneBreak = false;       // a CR or LF inside the line: the server may end the command there
    bool hasTemplateData = false; // a CG ADD or UPDATE line that carries a document
    QList<Field> fields;          // the document's first kKeptItems fields, in order
    qsizetype fieldCount = 0;     // all of them
    QString xmlError;             // the parser's message when the document is malformed
    QByteArray reply;             // the server's answer, framed: status line, then its data, CR LF after each
};

class Stage;

/// Reads one line (its CR LF already taken off) and carries it out on stage (by default a fresh
/// one, where no layer holds anything). A line that the server would carry out is answered
/// "404 <COMMAND> FAILED" when it holds refuse (a byte string; empty refuses nothing), as the
/// server answers a command that fails, such as an add of a missing template.
Reading read(const QByteArray& line, const QByteArray& refuse = QByteArray(), Stage* stage = nullptr);

/// The fields of a template-data document, the first keep of them; count gets how many it holds
/// and error the parser's message, with its line and column, when the document is malformed.
QList<Field> templateFields(const QByteArray& document, QString* error, qsizetype keep = kKeptItems,
                            qsizetype* count = nullptr);

/// The printout of one reading: the prefix (time stamp, client), one parameter per line (the
/// first kShownItems), the fields or the flags, the reply's status line. Control characters are
/// shown escaped, never sent to the terminal; a parameter longer than maxShown characters is
/// shown cut, with its length.
QString render(const QString& prefix, const Reading& reading, qsizetype maxShown = 300);

/// Text of untrusted bytes fit for a terminal: control characters as \n, \r, \t or \xHH.
QString printable(const QString& text, qsizetype maxShown);
/// The start of bytes (UTF-8, maybe malformed) as printable shows it, with the size in bytes
/// when it is cut. Only what is shown is decoded: it may be a line of 64 MiB.
QString printableStart(const QByteArray& bytes, qsizetype maxShown);

} // namespace monitor
