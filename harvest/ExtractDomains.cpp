#include "harvest/ExtractDomains.h"

namespace {

constexpr Qt::CaseSensitivity AnyCase = Qt::CaseInsensitive;

// The search engines' and the domain market's own hosts, whose links are not candidates.
const QString YahooDomain = QStringLiteral("yahoo.com");
const QString GoogleDomain = QStringLiteral("google.");
const QString AfterNicDomain = QStringLiteral("afternic.com");

bool contains(const QString &text, const QString &part)
{
    return text.contains(part, AnyCase);
}

// "https://" counts as "http://" wherever a line is tested or a scheme removed.
bool beginsWithLink(const QString &line)
{
    return line.startsWith(QLatin1String("http://")) || line.startsWith(QLatin1String("https://"));
}

void removeFirst(QString &text, const QString &part)
{
    const qsizetype at = text.indexOf(part);
    if (at >= 0)
        text.remove(at, part.size());
}

void removeFirstScheme(QString &text)
{
    removeFirst(text, QStringLiteral("https://"));
    removeFirst(text, QStringLiteral("http://"));
}

void keepBefore(QString &text, QChar mark)
{
    const qsizetype at = text.indexOf(mark);
    if (at >= 0)
        text.truncate(at);
}

// "shop.example.com" becomes "example.com"; "example.com" stays.
void stripLeadingLabel(QString &candidate)
{
    const qsizetype dot = candidate.indexOf('.');
    if (dot >= 0 && dot + 1 < candidate.size() - 3)
        candidate.remove(0, dot + 1);
}

bool suffixIsOneOf(const QString &candidate, std::initializer_list<const char *> suffixes)
{
    const qsizetype dot = candidate.indexOf('.');
    if (dot < 0)
        return false;
    const QStringView suffix = QStringView(candidate).mid(dot + 1);
    for (const char *allowed : suffixes) {
        if (suffix == QLatin1String(allowed))
            return true;
    }
    return false;
}

bool rejected(const QString &candidate, const DomainList &accepted, bool testTargetBlank)
{
    return candidate.contains('<') || candidate.contains('>') || accepted.containsText(candidate)
        || candidate == QLatin1String("ttp:.com") || candidate == QLatin1String(" ttp:.com")
        || contains(candidate, QStringLiteral("mailto:"))
        || (testTargetBlank && contains(candidate, QStringLiteral("targetblank")));
}

// Inserts CR LF before every occurrence of what, found in any letter case and written as given.
QString breakBefore(const QString &text, const QString &what)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(what, 0, AnyCase); at >= 0; at = text.indexOf(what, from, AnyCase)) {
        out += QStringView(text).mid(from, at - from);
        out += QLatin1String("\r\n");
        out += what;
        from = at + what.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

const QList<QString> &browserLineEndings()
{
    static const QList<QString> endings = {
        ".com ", ".com/", ".com\"", ".com'", ".com:", ".com?", ".net ", ".net/", ".net\"", ".net'", ".net:", ".net?"};
    return endings;
}

// The lines of the prepared text: each ends at a CR, with or without a line feed after it.
QList<QStringView> lines(const QString &text)
{
    QList<QStringView> result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            continue;
        result.append(QStringView(text).mid(start, i - start));
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        result.append(QStringView(text).mid(start));
    return result;
}

class Extractor
{
public:
    Extractor(ExtractVariant variant, DomainList &accepted)
        : m_variant(variant)
        , m_accepted(accepted)
    { }

    Extraction run(const QString &body)
    {
        const QString prepared = DomainExtraction::prepare(body, m_variant);
        const QList<QStringView> all = lines(prepared);
        for (qsizetype i = 0; i < all.size(); ++i) {
            const QString line = all[i].toString();
            if (m_variant == ExtractVariant::List) {
                listLine(line);
            } else if (m_followFrame) {
                followFrame(line, i + 1 < all.size() ? all[++i].toString() : QString());
            } else {
                browserLine(line);
            }
        }
        return m_result;
    }

private:
    void accept(const QString &name)
    {
        m_accepted.add(name);
        m_result.names.append(name);
    }

    // B: names from absolute links only.
    void listLine(const QString &line)
    {
        if (!beginsWithLink(line) || contains(line, YahooDomain) || contains(line, GoogleDomain)
            || contains(line, QStringLiteral("yimg")) || line.isEmpty())
            return;
        if (!contains(line, QStringLiteral(".org")) && !contains(line, QStringLiteral(".net"))
            && !contains(line, QStringLiteral(".com")))
            return;
        QString candidate = line;
        removeFirstScheme(candidate);
        candidate.remove('"').remove(' ').remove('\'');
        keepBefore(candidate, '>');
        keepBefore(candidate, '/');
        stripLeadingLabel(candidate);
        if (!suffixIsOneOf(candidate, {"com", "net", "Com", "Net", "COM", "NET"})
            || rejected(candidate, m_accepted, true))
            return;
        accept(candidate);
    }

    void browserLine(const QString &line)
    {
        if (contains(line, QStringLiteral("<Frame")) && contains(line, QStringLiteral("src="))) {
            m_followFrame = true;   // C2: the address is on the lines that follow
            return;
        }
        if (isLinkLine(line))
            linkLine(line);   // C3
        else
            textLine(line);   // C4
    }

    bool isLinkLine(const QString &line) const
    {
        return beginsWithLink(line) && !contains(line, YahooDomain) && !line.contains('@')
            && !contains(line, QStringLiteral("yimg")) && !contains(line, AfterNicDomain) && !line.isEmpty()
            && (contains(line, QStringLiteral(".net")) || contains(line, QStringLiteral(".com")));
    }

    static constexpr std::initializer_list<const char *> NineSuffixes = {
        "com", "org", "net", "Com", "Org", "Net", "COM", "ORG", "NET"};

    // C3: an absolute link. A candidate that fails here is not tried as text.
    void linkLine(const QString &line)
    {
        QString candidate = line;
        removeFirstScheme(candidate);
        if (const qsizetype space = candidate.indexOf(' '); space >= 0)
            candidate.truncate(space + 1);
        keepBefore(candidate, '/');
        stripLeadingLabel(candidate);
        if (!suffixIsOneOf(candidate, NineSuffixes) || rejected(candidate, m_accepted, true))
            return;
        keepAfterColon(candidate);
        accept(candidate);
    }

    // C4: a name anywhere in the text, found from its ending back to the delimiter before it.
    void textLine(const QString &line)
    {
        qsizetype dot = line.indexOf(QLatin1String(".com"), 0, AnyCase);
        if (dot < 0)
            dot = line.indexOf(QLatin1String(".net"), 0, AnyCase);
        if (dot < 0)
            return;
        const qsizetype end = dot + 4;
        // "@" too: an e-mail address gives its domain, not a name made of the address.
        static const QString delimiters = QStringLiteral("='< >\"@");
        qsizetype start = 0;
        for (qsizetype walk = dot; walk >= 0; --walk) {
            if (delimiters.contains(line[walk])) {
                start = walk + 1;
                break;
            }
        }
        QString candidate = line.mid(start, end - start);
        for (const char *scheme : {"https://", "http://", "ttp://", "tp://", "p://", "://"})
            removeFirst(candidate, QString::fromLatin1(scheme));
        keepBefore(candidate, '/');
        stripLeadingLabel(candidate);
        if (!suffixIsOneOf(candidate, NineSuffixes) || rejected(candidate, m_accepted, false))
            return;
        keepAfterColon(candidate);
        accept(candidate);
    }

    static void keepAfterColon(QString &candidate)
    {
        const qsizetype colon = candidate.indexOf(':');
        if (colon >= 0)
            candidate.remove(0, colon + 1);
    }

    // Up to and including the first ">" when it comes before the first blank, else up to and
    // including the first blank, else the whole line.
    static QString cutFrameLine(const QString &line)
    {
        const qsizetype close = line.indexOf('>');
        const qsizetype space = line.indexOf(' ');
        if (close >= 0 && space >= 0 && close < space)
            return line.left(close + 1);
        if (space >= 0)
            return line.left(space + 1);
        return line;
    }

    // C1: the frame's address, from this line and the next.
    void followFrame(const QString &line, const QString &next)
    {
        QString address = cutFrameLine(line) + cutFrameLine(next);
        address.remove('"').remove('>').remove('<');
        for (const char *scheme : {"https://", "http://", "ttp://", "tp://", "p://", "://"})
            address.remove(QString::fromLatin1(scheme));
        m_result.frames.append(address);
        m_followFrame = false;
    }

    ExtractVariant m_variant;
    DomainList &m_accepted;
    Extraction m_result;
    bool m_followFrame = false;
};

}   // namespace

bool DomainList::containsText(const QString &candidate) const
{
    const qsizetype dot = candidate.indexOf('.');
    if (candidate.count('.') == 1 && candidate.size() - dot == 4)
        return m_tails.contains(candidate.toCaseFolded());
    // Other shapes are rare: the plain scan of every name.
    for (const QString &name : m_names) {
        if (name.contains(candidate, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void DomainList::add(const QString &name)
{
    m_names.append(name);
    // Folded as a comparison that ignores case folds them: "\u03D1" and "\u0398" are the same letter.
    const QString lower = name.toCaseFolded();
    const qsizetype dot = lower.indexOf('.');
    if (dot < 0 || lower.indexOf('.', dot + 1) >= 0)
        return;   // the scan finds such names
    // Candidates reach this test with their whole three-letter ending, so the tails of the label
    // with the whole ending are enough.
    for (qsizetype start = 0; start <= dot; ++start)
        m_tails.insert(lower.mid(start));
}

namespace DomainExtraction {

QString prepare(const QString &body, ExtractVariant variant)
{
    // The web engine hands over LF line breaks where the line rule expects CR LF.
    QString text;
    text.reserve(body.size() + body.size() / 8);
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] == '\n' && (i == 0 || body[i - 1] != '\r'))
            text += QLatin1String("\r\n");
        else
            text += body[i];
    }
    text = breakBefore(breakBefore(text, QStringLiteral("https://")), QStringLiteral("http://"));
    if (variant == ExtractVariant::Browser) {
        text = breakBefore(text, QStringLiteral("<Frame"));
        for (const QString &ending : browserLineEndings())
            text.replace(ending, ending + QLatin1String("\r\n"));
    }
    return text + QLatin1String("\r\n");
}

Extraction ExtractDomains(const QString &body, ExtractVariant variant, DomainList &accepted)
{
    return Extractor(variant, accepted).run(body);
}

}   // namespace DomainExtraction
