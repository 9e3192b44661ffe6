#pragma once
// The wire tests' hostile values: quotes, backslashes, markup and Greek in every field the program
// puts on the wire.
#include <QString>

#include "server/compose.h"

inline QString hostileText() { return QStringLiteral("O'Brien \"the\" <b> & a\\b \\n Καλημέρα"); }

/// A card line's inputs with the hostile text in the project, a tag id, a value and the copy.
inline server::compose::Inputs hostileInputs()
{
    server::compose::Inputs in;
    in.channel = 1;
    in.layer = 20;
    in.projectName = QStringLiteral("St\"udio\\ 'A'");
    in.fileName = QStringLiteral("lower3rd");
    in.tags[1].Id = QStringLiteral("f0");
    in.tags[1].Type = QStringLiteral("txt");
    in.tags[2].Id = QStringLiteral("τίτλος'\"");
    in.tags[2].Type = QStringLiteral("txt");
    in.copyLines = {"TITLE~x", "TAG~f0;" + hostileText().toUtf8(), "TAG~" + in.tags[2].Id.toUtf8() + ";"};
    return in;
}
