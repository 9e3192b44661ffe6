#include "remote/osc.h"

#include <QtEndian>
#include <cstring>

namespace remote::osc {

namespace {

constexpr qsizetype padded(qsizetype size) { return (size + 3) & ~qsizetype(3); }

/// Reads a packet front to back; any read past its end or of a malformed field fails it.
class Reader {
public:
    Reader(const char* data, qsizetype size) : data_(data), size_(size) {}

    bool atEnd() const { return at_ == size_; }
    char peek() const { return at_ < size_ ? data_[at_] : '\0'; }

    /// A NUL-ended string padded to four bytes.
    std::optional<QByteArray> string()
    {
        const void* nul = std::memchr(data_ + at_, '\0', size_t(size_ - at_));
        if (!nul)
            return std::nullopt;
        const qsizetype length = static_cast<const char*>(nul) - (data_ + at_);
        const qsizetype next = at_ + padded(length + 1);
        if (next > size_)
            return std::nullopt;
        QByteArray text(data_ + at_, length);
        at_ = next;
        return text;
    }
    std::optional<QByteArray> blob()
    {
        const std::optional<qint64> length = int32();
        if (!length || *length < 0 || padded(*length) > size_ - at_)
            return std::nullopt;
        QByteArray bytes(data_ + at_, qsizetype(*length));
        at_ += padded(*length);
        return bytes;
    }
    std::optional<qint64> int32()
    {
        if (size_ - at_ < 4)
            return std::nullopt;
        const qint32 value = qFromBigEndian<qint32>(data_ + at_);
        at_ += 4;
        return value;
    }
    std::optional<qint64> int64()
    {
        if (size_ - at_ < 8)
            return std::nullopt;
        const qint64 value = qFromBigEndian<qint64>(data_ + at_);
        at_ += 8;
        return value;
    }
    std::optional<double> float32()
    {
        const std::optional<qint64> bits = int32();
        if (!bits)
            return std::nullopt;
        float value;
        const quint32 raw = quint32(*bits);
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
    std::optional<double> float64()
    {
        const std::optional<qint64> bits = int64();
        if (!bits)
            return std::nullopt;
        double value;
        std::memcpy(&value, &*bits, sizeof value);
        return value;
    }
    /// The next n bytes as a reader of their own.
    std::optional<Reader> part(qsizetype n)
    {
        if (n < 0 || n > size_ - at_)
            return std::nullopt;
        Reader inner(data_ + at_, n);
        at_ += n;
        return inner;
    }

private:
    const char* data_;
    qsizetype size_;
    qsizetype at_ = 0;
};

std::optional<Argument> readArgument(char tag, Reader& in)
{
    Argument argument;
    argument.tag = tag;
    switch (tag) {
    case 'i':
    case 'h': {
        const std::optional<qint64> value = tag == 'i' ? in.int32() : in.int64();
        if (!value)
            return std::nullopt;
        argument.integer = *value;
        return argument;
    }
    case 'f':
    case 'd': {
        const std::optional<double> value = tag == 'f' ? in.float32() : in.float64();
        if (!value)
            return std::nullopt;
        argument.real = *value;
        return argument;
    }
    case 's':
    case 'S':
    case 'b': {
        const std::optional<QByteArray> value = tag == 'b' ? in.blob() : in.string();
        if (!value)
            return std::nullopt;
        argument.bytes = *value;
        return argument;
    }
    case 'T':
    case 'F':
    case 'N':
    case 'I':
        return argument;
    default:
        return std::nullopt;
    }
}

std::optional<Message> readMessage(Reader in)
{
    Message message;
    const std::optional<QByteArray> address = in.string();
    if (!address || !address->startsWith('/') || address->size() > kMaxAddress)
        return std::nullopt;
    message.address = *address;
    if (in.atEnd()) // a sender too old for type tags, with nothing to tag
        return message;
    const std::optional<QByteArray> tags = in.string();
    if (!tags || !tags->startsWith(',') || tags->size() - 1 > kMaxArguments)
        return std::nullopt;
    for (const char tag : tags->mid(1)) {
        const std::optional<Argument> argument = readArgument(tag, in);
        if (!argument)
            return std::nullopt;
        message.arguments.append(*argument);
    }
    if (!in.atEnd())
        return std::nullopt;
    return message;
}

const QByteArray kBundle("#bundle", 8); // with its NUL

} // namespace

std::optional<QList<Message>> decode(const QByteArray& datagram)
{
    if (datagram.size() > kMaxDatagram || datagram.size() % 4 != 0)
        return std::nullopt;
    Reader in(datagram.constData(), datagram.size());
    if (!datagram.startsWith('#')) {
        const std::optional<Message> message = readMessage(in);
        if (!message)
            return std::nullopt;
        return QList<Message>{*message};
    }
    if (!datagram.startsWith(kBundle) || !in.part(kBundle.size()) || !in.int64()) // the time tag: at once
        return std::nullopt;
    QList<Message> messages;
    while (!in.atEnd()) {
        const std::optional<qint64> size = in.int32();
        if (!size || *size % 4 != 0)
            return std::nullopt;
        const std::optional<Reader> element = in.part(qsizetype(*size));
        if (!element || element->peek() == '#')
            return std::nullopt;
        const std::optional<Message> message = readMessage(*element);
        if (!message)
            return std::nullopt;
        messages.append(*message);
    }
    return messages;
}

namespace {

void writeString(QByteArray& out, const QByteArray& text)
{
    const QByteArray cut = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
    out += cut;
    out.append(padded(cut.size() + 1) - cut.size(), '\0');
}

template <typename T>
void writeBigEndian(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToBigEndian(value, bytes);
    out.append(bytes, sizeof bytes);
}

} // namespace

QByteArray encode(const Message& message)
{
    QByteArray out;
    writeString(out, message.address);
    QByteArray tags(",");
    for (const Argument& argument : message.arguments)
        tags += argument.tag;
    writeString(out, tags);
    for (const Argument& argument : message.arguments) {
        switch (argument.tag) {
        case 'i':
            writeBigEndian(out, qint32(argument.integer));
            break;
        case 'h':
            writeBigEndian(out, qint64(argument.integer));
            break;
        case 'f': {
            const float value = float(argument.real);
            quint32 bits;
            std::memcpy(&bits, &value, sizeof bits);
            writeBigEndian(out, bits);
            break;
        }
        case 'd': {
            quint64 bits;
            std::memcpy(&bits, &argument.real, sizeof bits);
            writeBigEndian(out, bits);
            break;
        }
        case 's':
        case 'S':
            writeString(out, argument.bytes);
            break;
        case 'b':
            writeBigEndian(out, qint32(argument.bytes.size()));
            out += argument.bytes;
            out.append(padded(argument.bytes.size()) - argument.bytes.size(), '\0');
            break;
        default: // T, F, N, I: the tag says it all
            break;
        }
    }
    return out;
}

} // namespace remote::osc
