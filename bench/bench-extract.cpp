// Extraction speed: a generated page of about 5 MB holding 20,000 distinct names, as links and as
// text, through both variants. Prints MB per second and the names found.
#include "harvest/ExtractDomains.h"

#include <QElapsedTimer>
#include <cstdio>

int main()
{
    QString page;
    for (int i = 0; page.size() < 5 * 1024 * 1024; ++i) {
        const QString name = QStringLiteral("name%1example").arg(i % 20000, 5, 10, QChar('0'));
        page +=
            QStringLiteral("<p class=\"result\">Some words about %1.com and what it offers, "
                           "<a href=\"http://www.%1.net/index.html\">read more</a>; padding text for the page.</p>\n")
                .arg(name);
    }
    const double megabytes = page.size() / (1024.0 * 1024.0);
    for (const auto &[variant, label] :
        {std::pair {ExtractVariant::List, "list"}, std::pair {ExtractVariant::Browser, "browser"}}) {
        DomainList accepted;
        QElapsedTimer clock;
        clock.start();
        const Extraction found = DomainExtraction::ExtractDomains(page, variant, accepted);
        const double seconds = clock.nsecsElapsed() / 1e9;
        std::printf("%-7s variant: %.1f MB in %.3f s, %.1f MB per second, %lld names (target: the page in under 1 s)\n",
            label, megabytes, seconds, megabytes / seconds, static_cast<long long>(found.names.size()));
    }
    return 0;
}
