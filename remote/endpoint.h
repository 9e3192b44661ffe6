#pragma once
// Where OSC is heard and where the tally goes, as the command line names them.
#include <QHostAddress>
#include <QString>
#include <optional>

namespace remote {

/// An address and a UDP port.
struct Endpoint {
    QHostAddress address;
    quint16 port = 0;
    bool operator==(const Endpoint&) const = default;
    /// "127.0.0.1:9000", "[::1]:9000"
    QString text() const;
};

/// "[ADDRESS:]PORT": the address to listen on, 127.0.0.1 when none is given, so that only this
/// machine is heard unless the operator says otherwise. An IPv6 address goes in brackets. Nothing
/// when the address is not a numeric one or "localhost", or the port not 1 to 65535.
std::optional<Endpoint> parseListen(const QString& text);

/// "HOST:PORT", the host a numeric address or "localhost"; nothing otherwise. No name is looked
/// up, so that start-up never waits on a resolver.
std::optional<Endpoint> parseTarget(const QString& text);

} // namespace remote
