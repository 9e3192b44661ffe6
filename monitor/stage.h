#pragma once
// What the playout server holds (its channels, and which layers hold a template) and how it answers
// a line, as its own command parser and command queues do: the request id, the channel address, the
// commands it knows with how many parameters each needs, and the answer of each.
#include <QByteArray>
#include <QSet>
#include <utility>

#include "monitor/tokenizer.h"

namespace monitor {

/// The server's channels: how many, and the video mode each runs (the server's default mode).
struct Channels {
    int count = 2;
    QByteArray mode = "1080i5000";
};

class Stage {
public:
    /// version is the second line of the answer to VERSION.
    explicit Stage(Channels channels = {}, QByteArray version = "plintor-monitor");

    /// The answer to one line (its CR LF taken off; tokens as the server reads it), framed, after
    /// carrying it out. Every template and clip is taken as present, except where the line holds
    /// refuse (bytes; empty refuses nothing): a line the server would carry out is then answered
    /// "404 <COMMAND> FAILED", as the server answers a missing template.
    QByteArray answer(const QByteArray& line, const Tokens& tokens, const QByteArray& refuse);

private:
    struct Command;
    QByteArray execute(const Command& command, const QByteArray& refuse, const QByteArray& line);
    QByteArray executeCg(const Command& command);

    Channels channels_;
    QByteArray version_;
    QSet<std::pair<int, int>> templates_; // (channel, layer) where a template was added, both from 1
};

} // namespace monitor
