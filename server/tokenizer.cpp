#include "server/tokenizer.h"

namespace server {

QList<QByteArray> parameters(const QByteArray& command)
{
    QList<QByteArray> out;
    QByteArray current;
    bool quoted = false;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == '"') {
            if (quoted || !current.isEmpty())
                out.append(current); // a closing quote ends its parameter, even an empty one
            current.clear();
            quoted = !quoted;
        } else if (quoted && c == '\\') {
            if (++i >= command.size())
                break;
            const char next = command[i];
            if (next == '\\' || next == '"')
                current += next;
            else if (next == 'n')
                current += '\n';
        } else if (!quoted && c == ' ') {
            if (!current.isEmpty())
                out.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (quoted || !current.isEmpty())
        out.append(current);
    return out;
}

} // namespace server
