// The verdict of a WHOIS reply, whole or cut at the cap.
#include "Fuzz.h"
#include "engine/ReplyCap.h"
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

// Free needs "No match for" the name asked; registered needs the marker (or no marker at all).
bool Plausible(Verdict verdict, const QByteArray &reply, const QByteArray &marker, const QString &name)
{
    if (verdict == Verdict::Free)
        return containsAnyCase(reply, "No match for") && containsAnyCase(reply, name.toLatin1());
    if (verdict == Verdict::Registered)
        return marker.isEmpty() || containsAnyCase(reply, marker);
    return true;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const unsigned char control = input.byte();
    const QByteArray marker = input.take(control % 16);
    const QByteArray reply = input.rest();

    const QString name = QStringLiteral("abc.com");
    FUZZ_CHECK(Plausible(Whois::replyVerdict(reply, marker, name), reply, marker, name));

    // Now and then the reply is a flood: it is kept up to the cap, no further, and a verdict in its
    // first part still counts.
    if (control == 0xFF && !reply.isEmpty()) {
        QByteArray flood = reply.repeated(Reply::Cap / reply.size() + 2);
        QBuffer socket(&flood);
        socket.open(QIODevice::ReadOnly);
        QByteArray kept;
        for (QByteArray piece = Reply::readUpToCap(socket, 0); !piece.isEmpty();
             piece = Reply::readUpToCap(socket, kept.size()))
            kept += piece;
        FUZZ_CHECK(kept == flood.left(Reply::Cap));
        FUZZ_CHECK(Plausible(Whois::replyVerdict(kept, marker, name), kept, marker, name));
    }
    return 0;
}
