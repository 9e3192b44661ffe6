#include "remote/endpoint.h"

namespace remote {

namespace {

std::optional<quint16> portFrom(const QString& text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port < 1 || port > 65535 || !text.front().isDigit())
        return std::nullopt;
    return quint16(port);
}

std::optional<QHostAddress> hostFrom(QString text)
{
    if (text == QLatin1String("localhost"))
        return QHostAddress(QHostAddress::LocalHost);
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        text = text.mid(1, text.size() - 2);
    else if (text.contains(QLatin1Char(':'))) // an IPv6 address needs its brackets before a port
        return std::nullopt;
    const QHostAddress address(text);
    if (address.isNull())
        return std::nullopt;
    return address;
}

std::optional<Endpoint> endpointFrom(const QString& host, const QString& port)
{
    const std::optional<QHostAddress> address = hostFrom(host);
    const std::optional<quint16> number = portFrom(port);
    if (!address || !number)
        return std::nullopt;
    return Endpoint{*address, *number};
}

} // namespace

QString Endpoint::text() const
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

std::optional<Endpoint> parseListen(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return endpointFrom(QStringLiteral("127.0.0.1"), text);
    return endpointFrom(text.left(colon), text.mid(colon + 1));
}

std::optional<Endpoint> parseTarget(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    return endpointFrom(text.left(colon), text.mid(colon + 1));
}

} // namespace remote
