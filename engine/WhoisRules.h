#pragma once
#include "engine/LookupAnswer.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// How one registry's WHOIS server is asked and how its replies read, in its own words. A sentence
// matches in any letter case and spacing, as whole words; "{name}" in it stands for the name asked,
// in any of its forms (as asked, in IDNA or in Unicode).
struct WhoisRules {
    QString registry;      // the registry's WHOIS host, as the rules file names the set
    QStringList endings;   // the endings it serves
    QString query = QStringLiteral("{name}");
    QStringList naming;       // one of these must name the name asked for any verdict (none: not required)
    QStringList free;         // each line (one of its " | " alternatives), and no other sentence: free
    QStringList registered;   // any of these: registered
    QStringList reserved;     // any: no verdict, the registry keeps the name
    QStringList blocked;      // any: no verdict, the registry takes no such name
    QStringList quarantine;   // any: deleted, on its way back to the pool
    QStringList premium;      // beside a free answer: free at a price of the registry's own
    QStringList limit;        // any: asked too fast; never a verdict, whatever else the reply says
    double perMinute = 0;     // the limit the registry publishes; 0 where it publishes none
    QString source;           // the captured answers the set was made from

    // The line sent for the name.
    QByteArray queryFor(const QString &name) const;
    // What the reply says of the name.
    LookupAnswer read(const QByteArray &reply, const QString &name) const;
};

// Every registry's rules, by ending. Read whole or not at all.
struct WhoisRuleBook {
    QHash<QString, std::shared_ptr<const WhoisRules>> byEnding;
    QString path;   // the file read

    // The rules file: "[HOST]" starts a registry's set, then "KEY = VALUE" lines (endings, query,
    // naming, free, registered, reserved, blocked, quarantine, premium, limit, per-minute, source); a
    // key may come again. Empty, with the line and why, when the text is not such a file.
    static std::optional<WhoisRuleBook> parse(const QByteArray &text, QString *error);
    const WhoisRules *forEnding(const QString &ending) const;
    // The rules of the name's longest ending that has some: "co.uk" before "uk".
    const WhoisRules *forName(const QString &name) const;
};

inline const QString WhoisRulesFileName = QStringLiteral("whois-rules.txt");

// The rules file of the program folder, else the shipped one. One that cannot be used is told in
// `problem`, and the shipped one is read instead.
std::shared_ptr<const WhoisRuleBook> loadWhoisRules(QString *problem = nullptr);
