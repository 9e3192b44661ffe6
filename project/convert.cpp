#include "project/convert.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "fault/runtimeerror.h"

namespace project::convert {

short toInteger16(QStringView text)
{
    // Plain digits, the usual case, without the pattern: a project's cards hold tens of
    // thousands of these.
    const qsizetype n = text.size();
    const bool sign = n > 0 && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+'));
    if (n > qsizetype(sign) && n <= 6) {
        int value = 0;
        qsizetype i = sign ? 1 : 0;
        for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
            value = value * 10 + (text[i].unicode() - u'0');
        if (text[0] == QLatin1Char('-'))
            value = -value;
        if (i == n && value >= -32768 && value <= 32767)
            return short(value);
    }
    // Compiled as it is made: cards are parsed on every core, and each only reads it.
    static const QRegularExpression number = [] {
        QRegularExpression made(QStringLiteral("^[ \\t]*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)[ \\t]*$"));
        made.optimize();
        return made;
    }();
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        fault::raise(fault::TypeMismatch, QStringLiteral("Type mismatch: \"%1\" is not a number").arg(text));
    const double value = std::nearbyint(m.captured(1).toDouble()); // the default mode rounds half to even
    if (!(value >= -32768.0 && value <= 32767.0))
        fault::raise(fault::Overflow, QStringLiteral("Overflow: %1 is out of range").arg(text.trimmed()));
    return static_cast<short>(value);
}

namespace {
[[noreturn]] void noItem(qsizetype i, qsizetype count)
{
    fault::raise(fault::SubscriptOutOfRange, QStringLiteral("Subscript out of range: item %1 of %2").arg(i + 1).arg(count));
}
} // namespace

QStringView Pieces::at(qsizetype i) const
{
    // The items are counted only for the failure's description.
    const auto missing = [&] { noItem(i, text_.isEmpty() ? 0 : text_.count(separator_) + 1); };
    if (i < 0 || text_.isEmpty())
        missing();
    // A card's lines are short: a plain loop finds a separator sooner than a string search.
    const auto separatorFrom = [this](qsizetype from) {
        const QChar* const at = std::find(text_.begin() + from, text_.end(), separator_);
        return at == text_.end() ? qsizetype(-1) : qsizetype(at - text_.begin());
    };
    if (i < lastItem_ || lastEnd_ == kUnknown) {
        lastItem_ = 0;
        lastStart_ = 0;
        lastEnd_ = separatorFrom(0);
    }
    while (lastItem_ < i) {
        if (lastEnd_ < 0)
            missing();
        lastStart_ = lastEnd_ + 1;
        lastEnd_ = separatorFrom(lastStart_);
        ++lastItem_;
    }
    return text_.sliced(lastStart_, (lastEnd_ < 0 ? text_.size() : lastEnd_) - lastStart_);
}

QStringList cut(const QString& text, QChar separator)
{
    if (text.isEmpty())
        return {};
    return text.split(separator);
}

} // namespace project::convert
