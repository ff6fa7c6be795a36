#pragma once
#include <QString>
#include <QStringList>

// Every value the program keeps in the settings store, named once with its application key, section,
// key, default and type. Network values can be overridden by an environment variable.
namespace Settings {

template<typename T> class Value
{
public:
    Value(QString appKey, QString section, QString key, T defaultValue, QString environment = {})
        : m_appKey(std::move(appKey))
        , m_section(std::move(section))
        , m_key(std::move(key))
        , m_default(std::move(defaultValue))
        , m_environment(std::move(environment))
    { }

    // The stored value (or the variable's, when it is set); the default when missing or unreadable.
    T get() const;
    void set(const T &value) const;
    // The stored text as it is, empty when missing (for messages about a value that is not usable).
    QString text() const;
    // Where the value comes from, for messages: the variable or the setting.
    QString origin() const;
    const QString &key() const { return m_key; }
    const T &defaultValue() const { return m_default; }
    const QString &appKey() const { return m_appKey; }
    const QString &section() const { return m_section; }

private:
    bool fromEnvironment() const;

    QString m_appKey;
    QString m_section;
    QString m_key;
    T m_default;
    QString m_environment;
};

// Application keys and sections.
inline const QString RunKey = QStringLiteral("Quillon");
inline const QString ProductKey = QStringLiteral("Tamarind");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString NetworkSection = QStringLiteral("Network");

// Resume positions of the sources: the entry a new run of that source starts from.
inline const Value<qint64> FullWordNum {RunKey, SettingsSection, QStringLiteral("FullWordNum"), 1};
inline const Value<qint64> TwoWordNum {RunKey, SettingsSection, QStringLiteral("TwoWordNum"), 1};
inline const Value<qint64> ThreeWordNum {RunKey, SettingsSection, QStringLiteral("ThreeWordNum"), 1};
inline const Value<qint64> FourWordNum {RunKey, SettingsSection, QStringLiteral("FourWordNum"), 1};
inline const Value<qint64> CustWordNum {RunKey, SettingsSection, QStringLiteral("CustWordNum"), 1};
inline const Value<qint64> YahooWordNum {RunKey, SettingsSection, QStringLiteral("YahooWordNum"), 1};
inline const Value<qint64> GoogleWordNum {RunKey, SettingsSection, QStringLiteral("GoogleWordNum"), 1};
// The position of the last run, whatever its source.
inline const Value<qint64> WordNumber {RunKey, SettingsSection, QStringLiteral("wordNumber"), 0};

// Whether the help viewer opens at start-up: only at exactly "1". Its check box reads it as a number.
inline const Value<QString> ShowHelp {ProductKey, SettingsSection, QStringLiteral("showHelp"), QStringLiteral("1")};

// The servers and addresses the program talks to.
inline const Value<QString> WhoisServer {ProductKey, NetworkSection, QStringLiteral("WhoisServer"),
    QStringLiteral("whois.verisign-grs.com:43"), QStringLiteral("TAMARIND_WHOIS_SERVER")};
// The text that marks a registry's record of a registered name; empty: every reply without
// "No match for" counts as registered.
inline const Value<QString> RegisteredMarker {ProductKey, NetworkSection, QStringLiteral("RegisteredMarker"),
    QStringLiteral("Domain Name:"), QStringLiteral("TAMARIND_REGISTERED_MARKER")};

// Which service a run asks ("whois", "rdap" or "auto": WHOIS until port 43 fails, then RDAP), and
// the RDAP service of each ending ("com=URL net=URL", or one URL for every ending).
inline const Value<QString> Protocol {ProductKey, NetworkSection, QStringLiteral("Protocol"), QStringLiteral("auto"),
    QStringLiteral("TAMARIND_PROTOCOL")};
inline const Value<QString> RdapBase {ProductKey, NetworkSection, QStringLiteral("RdapBase"),
    QStringLiteral("com=https://rdap.verisign.com/com/v1/ net=https://rdap.verisign.com/net/v1/"),
    QStringLiteral("TAMARIND_RDAP_BASE")};

// DNS before the registry: a name delegated in its zone is registered without asking the registry.
// The resolvers are "HOST[:PORT]" addresses separated by commas; empty: the system's own.
inline const Value<bool> DnsFirst {
    ProductKey, NetworkSection, QStringLiteral("DnsFirst"), true, QStringLiteral("TAMARIND_DNS_FIRST")};
inline const Value<QString> DnsServer {
    ProductKey, NetworkSection, QStringLiteral("DnsServer"), QString(), QStringLiteral("TAMARIND_DNS_SERVER")};

// The endings a bare word of a word list is asked under, in order: "com io dev".
inline const Value<QString> Endings {
    ProductKey, NetworkSection, QStringLiteral("Endings"), QStringLiteral("com"), QStringLiteral("TAMARIND_ENDINGS")};
// Endings as a list: lower case, without dots, each once; "com" when none is usable.
QStringList endingsList(const QString &text = Endings.get());

// Branding: what a shipper of the program may change.
inline const QString BrandingSection = QStringLiteral("Branding");
// Double-clicked names open a purchase page (on) or their WHOIS record (off).
inline const Value<bool> PurchaseLinks {
    ProductKey, BrandingSection, QStringLiteral("PurchaseLinks"), true, QStringLiteral("TAMARIND_PURCHASE_LINKS")};
inline const Value<bool> Skinning {
    ProductKey, BrandingSection, QStringLiteral("Skinning"), true, QStringLiteral("TAMARIND_SKINNING")};
// The affiliate address a name is appended to, its last query key awaiting the name.
inline const Value<QString> PurchaseLinkPrefix {ProductKey, NetworkSection, QStringLiteral("PurchaseLinkPrefix"),
    QStringLiteral("https://www.affiliate.example/bfast/click?siteid=41000000&categoryid=searchurl&bfplink=domains30"
                   "&bfmid=2700000&regOption=/en_US/purchase-it/view-your-order.jhtml&STRING="),
    QStringLiteral("TAMARIND_PURCHASE_PREFIX")};

// The search engines' hosts ("host" or "host:port"): result pages and the browser's start page.
inline const Value<QString> YahooHost {ProductKey, NetworkSection, QStringLiteral("YahooHost"),
    QStringLiteral("search.yahoo.com"), QStringLiteral("TAMARIND_YAHOO_HOST")};
inline const Value<QString> GoogleHost {ProductKey, NetworkSection, QStringLiteral("GoogleHost"),
    QStringLiteral("www.google.com"), QStringLiteral("TAMARIND_GOOGLE_HOST")};

// tamarind-cli keeps its own resume position per list file, apart from the desktop program's.
Value<qint64> cliPosition(const QString &absoluteListPath);
// The desktop program's Custom List keeps a resume position per list file (beside CustWordNum,
// the last one's), so that a run of another list, or of Saved Domains, takes no list's place.
Value<qint64> customListPosition(const QString &absoluteListPath);

// What a list was like when a resume position was kept for it (see SourceFeed::fingerprint), kept
// beside that position: a list changed since then starts over.
Value<QString> listFingerprint(const Value<qint64> &position);

// Writes pending values to disk now; false when a settings file could not be written.
bool flush();
// Why a settings file could not be written (the first failure); empty when none failed.
QString writeError();

}   // namespace Settings
