#pragma once
#include "engine/LookupBackend.h"
#include "engine/RdapFetch.h"
#include "engine/ServiceDirectory.h"

#include <QNetworkAccessManager>
#include <memory>
#include <vector>

// RDAP over HTTP(S): a GET per lookup on connections that are kept alive. Qt opens at most six
// HTTP/1.1 connections per host and manager, so the slots share several managers, a few slots each,
// and every slot has a connection of its own where the server speaks only HTTP/1.1; over HTTP/2
// each manager's lookups share one connection. Certificate errors end a lookup like any failed
// connection: they are never ignored.
class RdapBackend : public LookupBackend
{
    Q_OBJECT

public:
    static constexpr int SlotsPerManager = 5;

    explicit RdapBackend(int slotCount, QObject *parent = nullptr);
    ~RdapBackend() override;

    void setBases(const Rdap::Bases &bases) { m_directory.bases = bases; }
    const Rdap::Bases &bases() const { return m_directory.bases; }
    // The service named in messages, where this backend asks one service only ("https://rdap.nic.io").
    void setShownService(const QString &service) { m_shownService = service; }

    void ask(int slot, const QString &name) override;
    void cancel(int slot) override;
    QString serviceText() const override;
    QString protocolText() const override { return QStringLiteral("RDAP"); }

private:
    struct Slot {
        std::unique_ptr<RdapFetch> fetch;
        QString name;
        quint64 lookup = 0;   // counts the slot's lookups, so that a late answer finds its own
    };

    void onFinished(int index, const RdapFetch::Result &result);

    ServiceDirectory m_directory;   // its RDAP services
    QString m_shownService;
    std::vector<std::unique_ptr<QNetworkAccessManager>> m_managers;
    std::vector<Slot> m_slots;
};
