#include "engine/WhoisRules.h"

#include "app/ProgramFolder.h"
#include "engine/LookupName.h"
#include "engine/Whois.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// A reply in UTF-8 where it is that, else in Latin-1, which every byte is.
QString decoded(const QByteArray &reply)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(reply);
    return utf8.hasError() ? QString::fromLatin1(reply) : text;
}

// A sentence as a pattern: its words in order, any spacing between them, whole words at its ends;
// "{name}" as one of the forms, not part of a longer name ("ab.nl" is not in "cab.nl").
QRegularExpression patternOf(const QString &sentence, const QStringList &forms)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    QStringList escapedForms;
    for (const QString &form : forms)
        escapedForms << QRegularExpression::escape(form);
    const QString name = QStringLiteral("(?<![\\w.-])(?:%1)(?![\\w-])").arg(escapedForms.join(QLatin1Char('|')));
    QString pattern;
    const QStringList parts = sentence.trimmed().split(QStringLiteral("{name}"));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            pattern += name;
        QStringList words = parts[i].split(space, Qt::SkipEmptyParts);
        for (QString &word : words)
            word = QRegularExpression::escape(word);
        if (!words.isEmpty()) {
            const bool spaceBefore = i > 0 && parts[i].front().isSpace();
            const bool spaceAfter = i + 1 < parts.size() && parts[i].back().isSpace();
            pattern += (spaceBefore ? QStringLiteral("\\s+") : QString()) + words.join(QStringLiteral("\\s+"))
                + (spaceAfter ? QStringLiteral("\\s+") : QString());
        }
    }
    const QString trimmed = sentence.trimmed();
    if (!trimmed.isEmpty() && (trimmed.front().isLetterOrNumber()))
        pattern.prepend(QStringLiteral("(?<!\\w)"));
    if (!trimmed.isEmpty() && (trimmed.back().isLetterOrNumber()))
        pattern += QStringLiteral("(?!\\w)");
    return QRegularExpression(
        pattern, QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}

// The reply's words that matched the first sentence found, on one line; empty when none matched.
QString firstMatch(const QStringList &sentences, const QString &text, const QStringList &forms)
{
    for (const QString &sentence : sentences) {
        const QRegularExpressionMatch match = patternOf(sentence, forms).match(text);
        if (match.hasMatch())
            return match.captured().simplified();
    }
    return {};
}

// Every line of sentences holds: one of its alternatives, separated by " | ", matches.
bool allMatch(const QStringList &lines, const QString &text, const QStringList &forms)
{
    for (const QString &line : lines) {
        if (firstMatch(line.split(QStringLiteral(" | ")), text, forms).isEmpty())
            return false;
    }
    return !lines.isEmpty();
}

LookupAnswer noVerdict(const QString &said, bool throttled = false)
{
    LookupAnswer answer;
    answer.kind = LookupAnswer::Kind::NoVerdict;
    answer.throttled = throttled;
    answer.said = said;
    return answer;
}

}   // namespace

QByteArray WhoisRules::queryFor(const QString &name) const
{
    QString line = query;
    return line.replace(QStringLiteral("{name}"), name).toUtf8();
}

LookupAnswer WhoisRules::read(const QByteArray &reply, const QString &name) const
{
    const QString text = decoded(reply);
    QStringList forms {name.toLower()};
    if (const QString unicode = Names::unicodeForm(name).toLower(); unicode != forms.constFirst())
        forms << unicode;
    const auto quoted = [this](const QString &words) { return QStringLiteral("%1: \"%2\"").arg(registry, words); };
    // A limit notice is no answer about the name, whatever else the reply holds.
    if (const QString notice = firstMatch(limit, text, forms); !notice.isEmpty())
        return noVerdict(quoted(notice), true);
    if (!naming.isEmpty() && firstMatch(naming, text, forms).isEmpty())
        return noVerdict(QStringLiteral("%1's reply does not name %2").arg(registry, name));
    LookupAnswer answer;
    if (const QString words = firstMatch(quarantine, text, forms); !words.isEmpty()) {
        answer.setVerdict(Verdict::Registered);
        answer.state = NameStates::fromWhois(name, reply);
        answer.state.phase = NameState::Phase::Quarantine;
        answer.state.release = {};   // its cycle is the registry's own
        return answer;
    }
    for (const auto &[sentences, why] : {std::pair {&reserved, QStringLiteral("reserved by the registry")},
             std::pair {&blocked, QStringLiteral("blocked by the registry")}}) {
        if (const QString words = firstMatch(*sentences, text, forms); !words.isEmpty()) {
            answer = noVerdict(quoted(words));
            answer.reserved = true;
            answer.reason = QStringLiteral("%1 (%2)").arg(why, quoted(words));
            return answer;
        }
    }
    const bool isFree = allMatch(free, text, forms);
    const bool isRegistered = !firstMatch(registered, text, forms).isEmpty();
    if (isFree != isRegistered) {
        answer.setVerdict(isFree ? Verdict::Free : Verdict::Registered);
        if (isRegistered)
            answer.state = NameStates::fromWhois(name, reply);
        answer.state.premium = isFree && !firstMatch(premium, text, forms).isEmpty();
        return answer;
    }
    // A close without a word, or a notice the rules do not know that reads as one, is the pace's
    // trouble, as it is with any server; anything else is a reply nobody can read.
    const QString firstLine = text.trimmed().section(QLatin1Char('\n'), 0, 0).left(200).trimmed();
    return noVerdict(firstLine.isEmpty()
            ? QStringLiteral("the connection closed without a reply")
            : QStringLiteral("%1's reply matches none of its rules: \"%2\"").arg(registry, firstLine),
        Whois::isThrottleNotice(reply));
}

std::optional<WhoisRuleBook> WhoisRuleBook::parse(const QByteArray &text, QString *error)
{
    static const QRegularExpression section(QStringLiteral("^\\[([A-Za-z0-9.-]+)\\]$"));
    WhoisRuleBook book;
    std::shared_ptr<WhoisRules> rules;
    const auto finish = [&book, &rules, error](int line) {
        if (!rules)
            return true;
        if (rules->endings.isEmpty() || (rules->free.isEmpty() && rules->registered.isEmpty())) {
            *error = QStringLiteral("the rules of %1, ending before line %2, name no ending, or no free and no "
                                    "registered sentence")
                         .arg(rules->registry)
                         .arg(line);
            return false;
        }
        for (const QString &ending : std::as_const(rules->endings))
            book.byEnding.insert(ending, rules);
        return true;
    };
    int number = 0;
    for (const QByteArray &raw : text.split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (const QRegularExpressionMatch match = section.match(line); match.hasMatch()) {
            if (!finish(number))
                return std::nullopt;
            rules = std::make_shared<WhoisRules>();
            rules->registry = match.captured(1).toLower();
            continue;
        }
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        const QHash<QString, QStringList *> lists {{QStringLiteral("naming"), rules ? &rules->naming : nullptr},
            {QStringLiteral("free"), rules ? &rules->free : nullptr},
            {QStringLiteral("registered"), rules ? &rules->registered : nullptr},
            {QStringLiteral("reserved"), rules ? &rules->reserved : nullptr},
            {QStringLiteral("blocked"), rules ? &rules->blocked : nullptr},
            {QStringLiteral("quarantine"), rules ? &rules->quarantine : nullptr},
            {QStringLiteral("premium"), rules ? &rules->premium : nullptr},
            {QStringLiteral("limit"), rules ? &rules->limit : nullptr}};
        bool ok = rules && !line.section(QLatin1Char('='), 1).isNull() && !value.isEmpty();
        if (ok && lists.contains(key)) {
            *lists.value(key) << value;
        } else if (ok && key == QLatin1String("endings")) {
            for (const QString &ending : value.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts))
                rules->endings << ending.mid(ending.startsWith(QLatin1Char('.')) ? 1 : 0);
        } else if (ok && key == QLatin1String("query")) {
            ok = value.contains(QStringLiteral("{name}"));
            rules->query = value;
        } else if (ok && key == QLatin1String("per-minute")) {
            rules->perMinute = value.toDouble(&ok);
            ok = ok && rules->perMinute > 0;
        } else if (ok && key == QLatin1String("source")) {
            rules->source += (rules->source.isEmpty() ? QString() : QStringLiteral("; ")) + value;
        } else {
            ok = false;
        }
        if (!ok) {
            *error = QStringLiteral("line %1 is no rule of a registry: %2").arg(number).arg(line.left(100));
            return std::nullopt;
        }
    }
    if (!finish(number + 1))
        return std::nullopt;
    return book;
}

const WhoisRules *WhoisRuleBook::forEnding(const QString &ending) const
{
    const auto found = byEnding.constFind(ending.toLower());
    return found == byEnding.cend() ? nullptr : found->get();
}

const WhoisRules *WhoisRuleBook::forName(const QString &name) const
{
    const QStringList labels = name.toLower().split(QLatin1Char('.'));
    for (qsizetype first = 1; first < labels.size(); ++first) {
        if (const WhoisRules *rules = forEnding(labels.mid(first).join(QLatin1Char('.'))))
            return rules;
    }
    return nullptr;
}

std::shared_ptr<const WhoisRuleBook> loadWhoisRules(QString *problem)
{
    const auto read = [](const QString &path, QString *error) -> std::optional<WhoisRuleBook> {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            return std::nullopt;
        }
        std::optional<WhoisRuleBook> book = WhoisRuleBook::parse(file.read(4 << 20), error);
        if (!book)
            *error = QStringLiteral("%1 cannot be used: %2").arg(QDir::toNativeSeparators(path), *error);
        else
            book->path = path;
        return book;
    };
    QString error;
    const QString own = ProgramFolder::path() + QLatin1Char('/') + WhoisRulesFileName;
    if (QFileInfo(own).isFile()) {
        if (std::optional<WhoisRuleBook> book = read(own, &error))
            return std::make_shared<const WhoisRuleBook>(std::move(*book));
        if (problem)
            *problem = error + QStringLiteral("; the shipped rules are used");
    }
    const QString installed = ProgramFolder::installedData();
    const QString shipped =
        (installed.isEmpty() ? QStringLiteral(TAMARIND_SHIPPED_WHOIS) : installed + QStringLiteral("/whois"))
        + QLatin1Char('/') + WhoisRulesFileName;
    QString shippedError;
    if (std::optional<WhoisRuleBook> book = read(shipped, &shippedError))
        return std::make_shared<const WhoisRuleBook>(std::move(*book));
    if (problem)
        *problem = (problem->isEmpty() ? QString() : *problem + QStringLiteral("; ")) + shippedError;
    return std::make_shared<const WhoisRuleBook>();
}
