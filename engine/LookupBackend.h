#pragma once
#include "engine/LookupAnswer.h"

#include <QObject>
#include <QString>

// A service the lookup pool asks, one lookup per slot at a time. The pool keeps the attempts, the
// pace and the stop rules; a backend only asks and tells how each lookup ended.
class LookupBackend : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Asks about the name on the slot; reached() and then answered() follow, unless cancelled.
    virtual void ask(int slot, const QString &name) = 0;
    // A tick went by on the slot without an answer.
    virtual void tick(int slot) { Q_UNUSED(slot) }
    // Forgets the slot's lookup without a signal.
    virtual void cancel(int slot) = 0;
    // "The WHOIS server host:43", for messages.
    virtual QString serviceText() const = 0;
    virtual QString protocolText() const = 0;
    // A run begins.
    virtual void newRun() { }
    // Whether another service can take over when this one fails, and the move to it: the open
    // lookups are cancelled first.
    virtual bool canGiveWay() const { return false; }
    virtual void giveWay() { }

signals:
    // The service accepted the slot's connection.
    void reached(int slot);
    void answered(int slot, const LookupAnswer &answer);
};
