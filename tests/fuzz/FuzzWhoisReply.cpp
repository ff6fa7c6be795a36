// The verdict of a WHOIS reply, whole or cut at the cap.
#include "Fuzz.h"
#include "engine/Whois.h"

#include <QBuffer>
#include <algorithm>

namespace {

bool containsAnyCase(const QByteArray &text, const QByteArray &part)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [&](char a, char b) {
        return lower(a) == lower(b);
    }) != text.end();
}

Whois::Verdict Expected(const QByteArray &reply, const QByteArray &marker)
{
    if (containsAnyCase(reply, "No match for"))
        return Whois::Verdict::Free;
    if (marker.isEmpty() || containsAnyCase(reply, marker))
        return Whois::Verdict::Registered;
    return Whois::Verdict::None;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const unsigned char control = input.byte();
    const QByteArray marker = input.take(control % 16);
    const QByteArray reply = input.rest();

    FUZZ_CHECK(Whois::replyVerdict(reply, marker) == Expected(reply, marker));
    // A reply read on only grows: a verdict of free stays free.
    if (Whois::replyVerdict(reply.left(reply.size() / 2), marker) == Whois::Verdict::Free)
        FUZZ_CHECK(Whois::replyVerdict(reply, marker) == Whois::Verdict::Free);

    // Now and then the reply is a flood: it is kept up to the cap, no further, and a verdict in its
    // first part still counts.
    if (control == 0xFF && !reply.isEmpty()) {
        QByteArray flood = reply.repeated(Whois::ReplyCap / reply.size() + 2);
        QBuffer socket(&flood);
        socket.open(QIODevice::ReadOnly);
        QByteArray kept;
        for (QByteArray piece = Whois::readUpToCap(socket, 0); !piece.isEmpty();
             piece = Whois::readUpToCap(socket, kept.size()))
            kept += piece;
        FUZZ_CHECK(kept == flood.left(Whois::ReplyCap));
        if (Whois::replyVerdict(reply, marker) == Whois::Verdict::Free)
            FUZZ_CHECK(Whois::replyVerdict(kept, marker) == Whois::Verdict::Free);
    }
    return 0;
}
