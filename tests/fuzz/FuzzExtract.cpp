// Both extraction variants over any markup, and the duplicate test they rely on.
#include "Fuzz.h"
#include "harvest/ExtractDomains.h"

namespace {

bool endsInAllowedSuffix(const QString &name, ExtractVariant variant)
{
    const qsizetype dot = name.indexOf('.');
    if (dot < 0)
        return false;
    const QString suffix = name.mid(dot + 1);
    QStringList allowed {"com", "net", "Com", "Net", "COM", "NET"};
    if (variant == ExtractVariant::Browser)
        allowed << "org"
                << "Org"
                << "ORG";
    return allowed.contains(suffix);
}

// The duplicate test against the plain reading of it: the text occurs in some name, any case.
void checkContainsText(const DomainList &list, const QString &candidate)
{
    bool found = false;
    for (const QString &name : list.names())
        found = found || name.contains(candidate, Qt::CaseInsensitive);
    FUZZ_CHECK(list.containsText(candidate) == found);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const auto variant = input.byte() & 1 ? ExtractVariant::Browser : ExtractVariant::List;
    const QString body = QString::fromUtf8(input.rest());

    DomainList accepted;
    const Extraction found = DomainExtraction::ExtractDomains(body, variant, accepted);
    FUZZ_CHECK(accepted.names() == found.names);
    for (qsizetype i = 0; i < found.names.size(); ++i) {
        const QString &name = found.names[i];
        FUZZ_CHECK(endsInAllowedSuffix(name, variant));
        for (const char *never : {"<", ">", "\r", "\n"})
            FUZZ_CHECK(!name.contains(QLatin1String(never)));
        FUZZ_CHECK(!name.contains(QLatin1String("mailto:"), Qt::CaseInsensitive));
        if (variant == ExtractVariant::List) {
            for (const char *never : {" ", "\"", "'", "/"})
                FUZZ_CHECK(!name.contains(QLatin1String(never)));
            // No name is a piece of one accepted before it.
            for (qsizetype earlier = 0; earlier < i; ++earlier)
                FUZZ_CHECK(!found.names[earlier].contains(name, Qt::CaseInsensitive));
        }
        // The quick test agrees with the plain one for the name, its tails and other letter cases.
        // Candidates are cut at ASCII characters only, so no tail starts inside a surrogate pair.
        for (qsizetype start = 0; start < name.size(); start += 1 + start / 4) {
            if (name[start].isLowSurrogate())
                continue;
            checkContainsText(accepted, name.mid(start));
            checkContainsText(accepted, name.mid(start).toUpper());
        }
        checkContainsText(accepted, 'x' + name);
    }
    for (const QString &frame : found.frames)
        for (const char *never : {"\"", "<", ">"})
            FUZZ_CHECK(!frame.contains(QLatin1String(never)));

    // The same page again finds nothing new in the list variant: every name is in the list.
    if (variant == ExtractVariant::List)
        FUZZ_CHECK(DomainExtraction::ExtractDomains(body, variant, accepted).names.isEmpty());
    return 0;
}
