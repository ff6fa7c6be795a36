#pragma once
#include "engine/LookupBackend.h"
#include "engine/Whois.h"
#include "engine/WhoisFetch.h"
#include "engine/WhoisRules.h"

#include <memory>
#include <vector>

// WHOIS on port 43: a connection per lookup, the name sent on connect, the reply read until the
// server closes. A slot without a reply connects and asks again after ReconnectTicks.
class WhoisBackend : public LookupBackend
{
    Q_OBJECT

public:
    static constexpr int ReconnectTicks = 10;

    explicit WhoisBackend(int slotCount, QObject *parent = nullptr);

    void setServer(const Whois::Server &server) { m_server = server; }
    // The server of another registry: each name is asked in the form its registry's rules give, and
    // its reply read by them; a name whose ending has no rules gets no verdict and is not asked.
    void setRules(std::shared_ptr<const WhoisRuleBook> rules) { m_rules = std::move(rules); }
    void setRegisteredMarker(const QByteArray &marker) { m_marker = marker.toLower(); }
    qsizetype peakReplyBytes() const { return m_peakReply; }

    void ask(int slot, const QString &name) override;
    void tick(int slot) override;
    void cancel(int slot) override;
    QString serviceText() const override;
    QString protocolText() const override { return QStringLiteral("WHOIS"); }

private:
    struct Slot {
        WhoisFetch fetch;
        QString name;
        int sinceConnect = 0;   // ticks since the connection or the last part of the reply
        bool active = false;
    };

    void onConnected(int index);
    void onFinished(int index, const WhoisFetch::Result &result);

    const WhoisRules *rulesFor(const QString &name) const;
    QString query(const QString &name) const;

    Whois::Server m_server;
    std::shared_ptr<const WhoisRuleBook> m_rules;   // none for the .com and .net registry
    QByteArray m_marker;
    std::vector<std::unique_ptr<Slot>> m_slots;
    qsizetype m_peakReply = 0;
};
