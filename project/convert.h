#pragma once
#include <QString>
#include <QStringList>

/// Text conversions of the file formats, failing as the run-time does.
namespace project::convert {

/// A decimal number, blanks around it allowed, rounded half to even, in -32768..32767.
/// Raises 13 (type mismatch) for what is not a number and 6 (overflow) out of range.
short toInteger16(QStringView text);

/// Cuts text at every separator. The empty text gives no items at all, as the run-time's split.
QStringList cut(const QString& text, QChar separator);

/// The same cut without making the items: each read in place.
class Pieces {
public:
    Pieces(QStringView text, QChar separator) : text_(text), separator_(separator) {}
    /// Item i (0-based); raises 9 (subscript out of range) when there is none.
    QStringView at(qsizetype i) const;

private:
    QStringView text_;
    QChar separator_;
    // Where the last item asked for starts and ends (-1: at the text's end): a reader asks for
    // the items in order, and each is found from the one before rather than from the start.
    static constexpr qsizetype kUnknown = -2;
    mutable qsizetype lastItem_ = 0;
    mutable qsizetype lastStart_ = 0;
    mutable qsizetype lastEnd_ = kUnknown;
};

} // namespace project::convert
