#include "engine/LookupBackend.h"
#include "engine/LookupPool.h"
#include "engine/RegistryStage.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>

namespace {

// A service of the test's own: each name is answered from the event loop as `reply` says (never,
// without a reply), so the pool's rules are seen without sockets.
class ScriptedBackend : public LookupBackend
{
public:
    std::function<LookupAnswer(const QString &name)> reply;
    QStringList asked;
    bool canFallOver = false;
    bool fellOver = false;

    void ask(int slot, const QString &name) override
    {
        asked << name;
        const quint64 lookup = ++m_lookups[slot];
        if (!reply)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, slot, name, lookup] {
                if (m_lookups[slot] == lookup)
                    emit answered(slot, reply(name));
            },
            Qt::QueuedConnection);
    }
    void cancel(int slot) override { ++m_lookups[slot]; }
    QString serviceText() const override { return QStringLiteral("The test service"); }
    QString protocolText() const override { return QStringLiteral("TEST"); }
    bool canGiveWay() const override { return canFallOver; }
    void giveWay() override { fellOver = true; }

private:
    std::map<int, quint64> m_lookups;
};

LookupAnswer verdict(bool free)
{
    LookupAnswer answer;
    answer.setVerdict(free ? Verdict::Free : Verdict::Registered);
    return answer;
}

LookupAnswer noVerdict(bool throttled, const QString &said)
{
    LookupAnswer answer;
    answer.throttled = throttled;
    answer.said = said;
    return answer;
}

constexpr int Tick = 1000;   // ms on the test's clock, stepped by hand

// The pool keeps the test's time: ticks of Tick ms, read from `now`.
void keepTestTime(LookupPool &pool, const qint64 &now)
{
    pool.setTickInterval(Tick);
    pool.setManualClock([&now] { return now; });
}

// A pool over the scripted service, fed from a queue the test fills; the feed is behind while the
// test holds names back. Time is the test's: no timer runs, and advance() steps every tick, so no
// rule passes or fails by the machine's speed.
struct Harness {
    ScriptedBackend backend;
    LookupPool pool {LookupPool::Slots};
    std::deque<Lookup> names;
    bool holding = false;   // more names come later: DNS is settling a stretch of the list
    QStringList verdicts;
    QStringList unchecked;
    QStringList refusals;
    bool finished = false;
    qint64 now = 0;

    Harness()
    {
        pool.setBackend(&backend);
        keepTestTime(pool, now);
        pool.setFeed(
            [this]() -> std::optional<Lookup> {
                if (names.empty())
                    return std::nullopt;
                const Lookup next = names.front();
                names.pop_front();
                return next;
            },
            [this] { return holding && names.empty(); });
        QObject::connect(&pool, &LookupPool::verdict, [this](const QString &name) { verdicts << name; });
        QObject::connect(&pool, &LookupPool::unchecked, [this](const QString &name) { unchecked << name; });
        QObject::connect(&pool, &LookupPool::serverRefuses, [this](const QString &why) { refusals << why; });
        QObject::connect(&pool, &LookupPool::finished, [this] { finished = true; });
    }
    // Lets every answer and fill already due happen.
    static void settle()
    {
        for (int round = 0; round < 20; ++round)
            QCoreApplication::sendPostedEvents();
    }
    void start()
    {
        pool.start();
        settle();
    }
    // Steps the clock tick by tick; within a tick, to each moment a wait of the pace ends.
    void advance(int ticks)
    {
        for (int i = 0; i < ticks && !pool.isStopped(); ++i) {
            const qint64 tickEnds = now + Tick;
            for (qint64 due = pool.nextDue(); due >= 0 && due < tickEnds; due = pool.nextDue()) {
                now = std::max(now, due);
                pool.fireDue();
                settle();
            }
            now = tickEnds;
            pool.fireDue();
            pool.tick();
            settle();
        }
    }
    void add(const QStringList &list)
    {
        for (const QString &name : list)
            names.push_back(Lookup {name, qint64(names.size() + 1), 0, 0, 0});
    }
};

// The registry stage over scripted services on the test's clock: .com and .net answered by
// `comNetBackend`, .io by a backend that answers as `ioReply` says (never, without one), each
// service with a pool of its own. The list is `names`, read as the stage asks for them.
struct StageHarness {
    ScriptedBackend comNetBackend;
    LookupPool comNet;
    RegistryStage stage {comNet};
    std::function<LookupAnswer(const QString &name)> ioReply;
    QStringList ioAsked;
    QList<LookupPool *> pools {&comNet};
    std::function<QString(qint64 entry)> nameAt;
    qint64 count = 0;
    qint64 read = 0;
    QStringList outcomes;   // "free a.io", "unchecked b.io", "untrusted c.io"
    QStringList controlFailures;
    bool finished = false;
    qint64 now = 0;

    StageHarness()
    {
        comNet.setBackend(&comNetBackend);
        keepTestTime(comNet, now);
        stage.setDirectory({{}, Rdap::Protocol::Whois, *Rdap::Bases::parse("io=http://rdap.example/")});
        stage.setServiceMaker([this](const NameService &named, const ServiceDirectory &, int slotCount) {
            auto backend = std::make_unique<ScriptedBackend>();
            if (ioReply)
                backend->reply = [this](const QString &name) {
                    ioAsked << name;
                    return ioReply(name);
                };
            auto service = RegistryService::overBackend(named.key, std::move(backend), slotCount);
            keepTestTime(*service->pool, now);
            pools << service->pool;
            return service;
        });
        stage.setFeed(
            [this]() -> std::optional<Lookup> {
                if (read == count)
                    return std::nullopt;
                ++read;
                return Lookup {nameAt(read), read, 0, 0, 0};
            },
            [] { return false; });
        QObject::connect(&stage, &RegistryStage::verdict, [this](const QString &name, bool unregistered) {
            outcomes << (unregistered ? "free " : "registered ") + name;
        });
        QObject::connect(
            &stage, &RegistryStage::unchecked, [this](const QString &name) { outcomes << "unchecked " + name; });
        QObject::connect(
            &stage, &RegistryStage::untrusted, [this](const QString &name) { outcomes << "untrusted " + name; });
        QObject::connect(
            &stage, &RegistryStage::controlFailed, [this](const QString &text) { controlFailures << text; });
        QObject::connect(&stage, &RegistryStage::finished, [this] { finished = true; });
    }
    void setNames(const QStringList &list)
    {
        count = list.size();
        nameAt = [list](qint64 entry) { return list[entry - 1]; };
    }
    void start()
    {
        stage.start();
        Harness::settle();
    }
    // Steps the one clock of every pool, tick by tick, until the stage has finished.
    void advance(int ticks)
    {
        for (int i = 0; i < ticks && !finished; ++i) {
            now += Tick;
            for (LookupPool *pool : pools) {
                pool->fireDue();
                pool->tick();
            }
            Harness::settle();
        }
    }
    QStringList with(const QString &outcome) const { return outcomes.filter(QRegularExpression('^' + outcome + ' ')); }
};

QStringList numbered(const QString &prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QStringLiteral("%1%2.com").arg(prefix).arg(i);
    return names;
}

}   // namespace

class TestLookupPool : public QObject
{
    Q_OBJECT

private slots:
    // DNS settles a long stretch of the list while the registry has nothing to do. Faults caught:
    // the give-up and fall-over clocks running while no lookup is open (the run stops with "refuses
    // every query", or "auto" leaves for RDAP, although the registry answers every name it gets); a
    // name refused while it is the only one there is kept open for ever; its refusals outliving it;
    // the idle ticks counted as silence, so that one refusal of a later name stops the run.
    void idleRegistryIsNotSilent_data()
    {
        QTest::addColumn<bool>("canFallOver");
        QTest::addRow("WHOIS alone") << false;
        QTest::addRow("auto") << true;
    }
    void idleRegistryIsNotSilent()
    {
        QFETCH(bool, canFallOver);
        Harness harness;
        harness.backend.canFallOver = canFallOver;
        bool lateRefused = false;   // the first name after the idle time is refused once, then answered
        harness.backend.reply = [&lateRefused](const QString &name) {
            if (name == "refused.com" || (name == "late.com" && !std::exchange(lateRefused, true)))
                return noVerdict(true, "\"Your connection limit exceeded.\"");
            return verdict(true);
        };
        harness.add({"first.com", "refused.com"});
        harness.holding = true;
        harness.start();
        // The refused name is the only one left: it is written off, as the last name of a list is.
        harness.advance(Lookup::MaxAttempts * Lookup::RefusalsPerAttempt);
        QCOMPARE(harness.unchecked, QStringList {"refused.com"});
        harness.advance(2 * LookupPool::GiveUpTicks + 10);   // idle for two give-up periods and more
        QCOMPARE(harness.refusals, QStringList());
        QVERIFY(!harness.backend.fellOver);
        harness.add({"late.com"});
        harness.pool.feedReady();
        harness.advance(Lookup::RefusalsPerAttempt + 2);
        QCOMPARE(harness.refusals, QStringList());
        QVERIFY(!harness.backend.fellOver);
        QCOMPARE(harness.verdicts, (QStringList {"first.com", "late.com"}));
        const QStringList later = numbered("later", 30);
        harness.add(later);
        harness.holding = false;
        harness.pool.feedReady();
        harness.advance(int(later.size()) + 10);   // at the pace learnt from the refusals, a name a tick
        QVERIFY(harness.finished);
        QCOMPARE(harness.refusals, QStringList());
        QVERIFY(!harness.backend.fellOver);
        QCOMPARE(harness.verdicts, QStringList({"first.com", "late.com"}) + later);
    }

    // A service that refuses every query: "auto" leaves it after the fall-over's 60 ticks, and
    // the run stops after the give-up's 120, not a tick earlier. Faults caught: the give-up
    // compared with the fall-over's ticks (a run stopped at 60); either rule a tick early or late.
    void refusingServiceMeetsItsRulesOnTheirTick_data()
    {
        QTest::addColumn<bool>("canFallOver");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<bool>("fellOver");
        QTest::addRow("a tick before the give-up") << false << LookupPool::GiveUpTicks - 1 << false << false;
        QTest::addRow("at the give-up") << false << LookupPool::GiveUpTicks << true << false;
        QTest::addRow("auto, a tick before the fall-over") << true << LookupPool::FallOverTicks - 1 << false << false;
        QTest::addRow("auto, at the fall-over") << true << LookupPool::FallOverTicks << false << true;
    }
    void refusingServiceMeetsItsRulesOnTheirTick()
    {
        QFETCH(bool, canFallOver);
        QFETCH(int, ticks);
        Harness harness;
        harness.backend.canFallOver = canFallOver;
        harness.backend.reply = [](const QString &) { return noVerdict(true, "\"Your connection limit exceeded.\""); };
        harness.add(numbered("name", 40));
        harness.start();
        harness.advance(ticks);
        QTEST(!harness.refusals.isEmpty(), "stopped");
        QTEST(harness.backend.fellOver, "fellOver");
        QCOMPARE(harness.unchecked, QStringList());   // the service's trouble costs no name its verdict
    }

    // Only throttling slows the pace. Faults caught: a reply we cannot read (a 400, a body of
    // another kind) lowering the rate or making the pool wait; such a name asked for ever, or more
    // than its three attempts; a service that reads nothing for 50 names in a row going on for ever,
    // or stopping after 49.
    void unreadableRepliesCostOnlyTheirNames()
    {
        Harness harness;
        harness.backend.reply = [](const QString &name) {
            return name.startsWith("odd") ? noVerdict(false, "HTTP 400") : verdict(false);
        };
        const QStringList names = numbered("name", 200);
        harness.add(names.mid(0, 100) + QStringList {"odd1.com"} + names.mid(100));
        harness.start();
        QVERIFY(harness.finished);
        QCOMPARE(harness.pool.rate(), 0.0);   // no limit was ever learnt
        QCOMPARE(harness.unchecked, QStringList {"odd1.com"});
        QCOMPARE(harness.backend.asked.count("odd1.com"), LookupPool::MaxAttempts);
        QCOMPARE(harness.verdicts.size(), names.size());
    }
    // A name the service refuses again and again while it answers the others is the name's own
    // trouble. Faults caught: it holding up the run until the give-up rule (120 ticks), or stopping
    // the run; it asked more than its attempts allow.
    void singledOutNameEndsUncheckedAtOnce_data()
    {
        QTest::addColumn<QString>("refused");
        QTest::addRow("in the middle") << "name150.com";
        QTest::addRow("last of the list") << "name300.com";
    }
    void singledOutNameEndsUncheckedAtOnce()
    {
        QFETCH(QString, refused);
        Harness harness;
        harness.backend.reply = [refused](const QString &name) {
            return name == refused ? noVerdict(true, "\"Your connection limit exceeded.\"") : verdict(true);
        };
        harness.add(numbered("name", 300));
        harness.start();
        int ticks = 0;
        for (; !harness.finished && ticks < LookupPool::GiveUpTicks; ++ticks)
            harness.advance(1);
        QVERIFY2(ticks < LookupPool::GiveUpTicks / 2, qPrintable(QString::number(ticks)));
        QCOMPARE(harness.unchecked, QStringList {refused});
        QCOMPARE(harness.verdicts.size(), 299);
        QCOMPARE(harness.refusals, QStringList());
        QVERIFY(harness.backend.asked.count(refused) <= LookupPool::MaxAttempts * LookupPool::RefusalsPerAttempt);
    }

    // The names written off when the service keeps refusing the last of a list: a stop while the
    // first is told (its outcome could not be saved) ends the write-off. Fault caught: the others
    // told after the stop, listed unchecked by a run that has ended.
    void writeOffEndsWithItsRun()
    {
        Harness harness;
        harness.backend.reply = [](const QString &name) {
            return name.startsWith("refused") ? noVerdict(true, "\"Your connection limit exceeded.\"") : verdict(true);
        };
        harness.add(QStringList {"first.com"} + numbered("refused", 5));
        QObject::connect(&harness.pool, &LookupPool::unchecked, [&] { harness.pool.stop(); });
        harness.start();
        harness.advance(LookupPool::GiveUpTicks + 10);
        QVERIFY(harness.pool.isStopped());
        QCOMPARE(harness.unchecked.size(), 1);
    }

    // Behind a service that answers nothing, the registry stage reads the list no further than
    // Waiting names ahead. Fault caught: the bound dropped, and the whole list read into memory
    // (and the resume position left far behind what was read) for one slow ending.
    void slowServiceBoundsTheReading()
    {
        StageHarness harness;
        harness.count = RegistryStage::Waiting + 1000;
        harness.nameAt = [](qint64 entry) { return QString("n%1.io").arg(entry); };
        harness.start();
        QVERIFY2(
            harness.read > RegistryStage::Waiting && harness.read <= RegistryStage::Waiting + RegistryStage::OtherSlots,
            qPrintable(QString::number(harness.read)));
        harness.stage.stop();
    }

    // A service that answers free for everything is caught by its control, on scripted services: the
    // control (a name DNS found delegated under its ending) is asked before any of its free answers
    // counts, and is answered free, so none of them does. Faults caught: a free answer counted before
    // the control is answered, or after the service failed it.
    void controlCatchesAServiceThatSaysFreeToEverything()
    {
        StageHarness harness;
        harness.ioReply = [](const QString &) { return verdict(true); };   // free, whatever is asked
        harness.stage.setControlsMayCome([] { return true; });
        const QStringList names {"a.io", "b.io", "c.io"};
        harness.setNames(names);
        harness.start();
        harness.stage.noteDelegated("taken.io");
        for (int round = 0; round < 10; ++round)
            Harness::settle();
        QCOMPARE(harness.with("free"), QStringList());
        QStringList untrusted = harness.with("untrusted").replaceInStrings("untrusted ", "");
        untrusted.sort();
        QCOMPARE(untrusted, names);
        QCOMPARE(harness.controlFailures.size(), 1);
        QVERIFY2(harness.ioAsked.contains("taken.io"), qPrintable(harness.ioAsked.join(' ')));
        harness.stage.stop();
    }

    // A slow, strict or unreachable service of one ending does not hold up the names of another,
    // and costs only its own names their verdicts. 30 .io names come first in the list, then 40
    // .com names. Faults caught, by row: one in-flight bound for every service (the .io names fill
    // every slot and the .com names wait for them); one pace (the .io refusals slow the .com
    // names); the run stopped, or its .com names lost, by a service that refuses or cannot be reached.
    void eachServiceAtItsOwnPace_data()
    {
        QTest::addColumn<int>("ioAnswer");   // -1: never; otherwise a LookupAnswer::Kind
        QTest::addRow("slow") << -1;
        QTest::addRow("strict") << int(LookupAnswer::Kind::NoVerdict);
        QTest::addRow("unreachable") << int(LookupAnswer::Kind::Unreachable);
    }
    void eachServiceAtItsOwnPace()
    {
        QFETCH(int, ioAnswer);
        StageHarness harness;
        harness.comNetBackend.reply = [](const QString &) { return verdict(true); };
        if (ioAnswer >= 0)
            harness.ioReply = [ioAnswer](const QString &) {
                LookupAnswer answer = noVerdict(true, "limit exceeded");
                answer.kind = LookupAnswer::Kind(ioAnswer);
                return answer;
            };
        QStringList names;
        for (int i = 0; i < 30; ++i)
            names << QString("a%1.io").arg(i);
        for (int i = 0; i < 40; ++i)
            names << QString("b%1.com").arg(i);
        harness.setNames(names);
        harness.start();
        // The .com names are answered while the clock stands: the .io service waits on its own.
        QCOMPARE(harness.with("free").size(), 40);
        QCOMPARE(harness.with("free").filter(".io").size(), 0);
        if (ioAnswer < 0) {
            harness.stage.stop();
            return;
        }
        harness.advance(10 * LookupPool::GiveUpTicks);
        QVERIFY(harness.finished);
        QCOMPARE(harness.with("unchecked").size(), 30);
        QCOMPARE(harness.with("free").size(), 40);
        QVERIFY2(!harness.stage.lostText().isEmpty(), "the lost service is told");
    }

    void serviceThatReadsNothingStopsTheRun_data()
    {
        QTest::addColumn<int>("odd");
        QTest::addRow("49 names") << LookupPool::UnreadableNames - 1;
        QTest::addRow("50 names") << LookupPool::UnreadableNames;
    }
    void serviceThatReadsNothingStopsTheRun()
    {
        QFETCH(int, odd);
        Harness harness;
        harness.backend.reply = [](const QString &name) {
            return name.startsWith("odd") ? noVerdict(false, "HTTP 400") : verdict(false);
        };
        harness.add(numbered("odd", odd) + QStringList {"good.com"});
        harness.start();
        harness.advance(3);
        if (odd < LookupPool::UnreadableNames) {
            QVERIFY(harness.finished);
            QCOMPARE(harness.verdicts, QStringList {"good.com"});
            return;
        }
        QCOMPARE(harness.refusals.size(), 1);
        QVERIFY2(
            harness.refusals[0].contains("50 different names in a row") && harness.refusals[0].contains("HTTP 400"),
            qPrintable(harness.refusals[0]));
        QVERIFY(harness.pool.isStopped());
        QCOMPARE(harness.unchecked, QStringList());   // every name keeps its place
    }
};

QTEST_GUILESS_MAIN(TestLookupPool)
#include "TestLookupPool.moc"
