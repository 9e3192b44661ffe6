#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

/// The 8-bit code page of card, dataset and playlist files (windows-1253 unless chosen otherwise).
/// Every byte decodes to one character and encodes back to the same byte, also the bytes the code
/// page leaves undefined; a character the code page cannot hold is written as "?".
namespace project::codepage {

/// Chooses the code page by name; false when the name is unknown or not a single-byte code page
/// whose 256 bytes each read as one character and come back unchanged.
bool select(const QString& name);

QString decode(QByteArrayView bytes);
/// The one character each byte decodes to, by the byte's value.
using Units = std::array<char16_t, 256>;
const Units& units();
QByteArray encode(const QString& text);
/// The name the code page was chosen by.
QString name();
/// The first character of text the code page cannot hold, shown as "x" (U+XXXX); empty when it
/// holds every one, so that encode gives text back unchanged.
QString unheld(QStringView text);

/// The code page used when none is given, and what the operator is told about it at start.
struct Choice {
    QString name;
    QString notice; // empty when there is nothing to say
};
/// From the ANSI code page Windows reports: a single-byte one is used as it is; another (UTF-8, a
/// double-byte one such as 932) cannot hold a character in one byte, so windows-1253 is used and
/// the notice says so.
Choice chooseForWindows(unsigned ansiCodePage);
/// The code page when none is given: the system's on Windows (chooseForWindows over GetACP),
/// windows-1253 elsewhere.
Choice systemDefault();

} // namespace project::codepage
