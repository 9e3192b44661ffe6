// The OSC reader: nothing it gives is over the limits, a datagram over them gives nothing, and
// every message it reads is written back as a datagram that reads as the same message.
#include "fuzz.h"
#include "remote/osc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace remote::osc;
    const QByteArray datagram(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<Message>> messages = decode(datagram);
    if (!messages)
        return 0;
    FUZZ_CHECK(datagram.size() <= kMaxDatagram);
    FUZZ_CHECK(messages->size() <= datagram.size() / 4);
    for (const Message& message : *messages) {
        FUZZ_CHECK(message.address.startsWith('/') && message.address.size() <= kMaxAddress);
        FUZZ_CHECK(!message.address.contains('\0'));
        FUZZ_CHECK(message.arguments.size() <= kMaxArguments);
        const QByteArray written = encode(message);
        FUZZ_CHECK(written.size() <= datagram.size() + 4); // the type tags an old sender left out
        const std::optional<QList<Message>> again = decode(written);
        FUZZ_CHECK(again && again->size() == 1 && encode(again->first()) == written);
    }
    return 0;
}
