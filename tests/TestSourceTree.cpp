#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <functional>

namespace {

// A unit is a header and its source: "engine/Pace" stands for Pace.h and Pace.cpp.
using Graph = QHash<QString, QSet<QString>>;

Graph includeGraph(const QStringList &folders)
{
    const QDir root(QStringLiteral(TAMARIND_SOURCE_DIR));
    static const QRegularExpression include(
        QStringLiteral("^#include \"([^\"]+)\\.h\""), QRegularExpression::MultilineOption);
    Graph graph;
    for (const QString &folder : folders) {
        QDirIterator files(root.filePath(folder), {"*.h", "*.cpp"}, QDir::Files);
        while (files.hasNext()) {
            const QString path = root.relativeFilePath(files.next());
            const QString unit = path.section('.', 0, 0);
            QFile file(root.filePath(path));
            if (!file.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(path));
            auto matches = include.globalMatch(QString::fromUtf8(file.readAll()));
            graph[unit];
            while (matches.hasNext()) {
                const QString included = matches.next().captured(1);
                if (included != unit && folders.contains(included.section('/', 0, 0)))
                    graph[unit].insert(included);
            }
        }
    }
    return graph;
}

// The units on a loop of includes through `unit`, or empty.
QStringList loopThrough(const Graph &graph, const QString &unit)
{
    QStringList path {unit};
    QSet<QString> seen;
    std::function<bool(const QString &)> reaches = [&](const QString &from) {
        for (const QString &next : graph.value(from)) {
            if (next == unit)
                return true;
            if (seen.contains(next))
                continue;
            seen.insert(next);
            path << next;
            if (reaches(next))
                return true;
            path.removeLast();
        }
        return false;
    };
    return reaches(unit) ? path : QStringList();
}

}   // namespace

// The shape of the tree: the lookup engine stands apart from what it finds, and no two units lean
// on each other.
class TestSourceTree : public QObject
{
    Q_OBJECT

private slots:
    // Fault caught: two units that include each other, which neither can then be built or tested
    // without the other; the engine reaching into the result lists.
    void includesFormNoLoop()
    {
        const Graph graph = includeGraph({"engine", "results", "run", "harvest", "generator", "ui"});
        QVERIFY(graph.contains("engine/LookupPool"));
        for (auto it = graph.cbegin(); it != graph.cend(); ++it) {
            const QStringList loop = loopThrough(graph, it.key());
            QVERIFY2(loop.isEmpty(), qPrintable(loop.join(" -> ")));
            if (it.key().startsWith("engine/")) {
                for (const QString &included : it.value())
                    QVERIFY2(!included.startsWith("results/"), qPrintable(it.key() + " includes " + included));
            }
        }
    }

    // Fault caught: a class whose members are defined in two files to keep each under its size,
    // where the class should have handed a job to a class of its own. Namespaces may span files.
    void classesStayInOneFile()
    {
        const QDir root(QStringLiteral(TAMARIND_SOURCE_DIR));
        static const QRegularExpression classDefinition(
            QStringLiteral("^\\s*(?:class|struct)\\s+(\\w+)\\b[^;]*$"), QRegularExpression::MultilineOption);
        static const QRegularExpression memberDefinition(
            QStringLiteral("^[A-Za-z][^(=;/]*?\\b((?:\\w+::)+)(?:~?\\w+|operator\\S+)\\("),
            QRegularExpression::MultilineOption);
        const QStringList folders {"engine", "results", "run", "harvest", "generator", "ui", "app", "shell", "cli",
            "tools", "tools/testservices"};
        QSet<QString> classes;
        QHash<QString, QSet<QString>> filesOf;   // a class's qualified name -> the sources defining its members
        for (const QString &folder : folders) {
            for (const QString &name : QDir(root.filePath(folder)).entryList({"*.h", "*.cpp"}, QDir::Files)) {
                QFile file(root.filePath(folder + '/' + name));
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QString text = QString::fromUtf8(file.readAll());
                for (auto found = classDefinition.globalMatch(text); found.hasNext();)
                    classes.insert(found.next().captured(1));
                if (!name.endsWith(".cpp"))
                    continue;
                for (auto found = memberDefinition.globalMatch(text); found.hasNext();)
                    filesOf[found.next().captured(1).chopped(2)].insert(folder + '/' + name);
            }
        }
        QVERIFY(filesOf.value("LookupPool").size() == 1 && classes.contains("Form1"));
        for (auto it = filesOf.cbegin(); it != filesOf.cend(); ++it) {
            if (classes.contains(it.key().section("::", -1)))
                QVERIFY2(it.value().size() == 1, qPrintable(it.key() + ": " + it.value().values().join(", ")));
        }
    }

    // Fault caught: a test that waits with Qt's own waits, which sleep 10 ms between passes of the
    // event loop and so load a web page in seconds (the suite took 78 s under them, 60 s without).
    void testsWaitWithTheEventLoop()
    {
        const QDir root(QStringLiteral(TAMARIND_SOURCE_DIR));
        const QStringList sleepers {QStringLiteral("QTRY") + '_', QStringLiteral("QTest::qWait") + '(',
            QStringLiteral("QTest::qWait") + "For("};
        QDirIterator files(root.filePath("tests"), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (const QString &sleeper : sleepers)
                QVERIFY2(!text.contains(sleeper), qPrintable(root.relativeFilePath(file.fileName()) + ": " + sleeper));
        }
    }

    // Every folder's files stay small enough for a reader to take in whole: the engine, the run and
    // the results most of all, the test services (one per file) too. Fault caught: a file grown past
    // its folder's size again instead of handing a concern to a class, or a file, of its own.
    void filesStaySmall_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("maxLines");
        for (const char *folder : {"engine", "run", "results", "app", "harvest", "generator", "shell"})
            QTest::addRow("%s", folder) << folder << 400;
        QTest::addRow("cli") << "cli" << 500;
        QTest::addRow("ui") << "ui" << 500;   // the main window hands whole concerns to classes of their own
        QTest::addRow("tools") << "tools" << 300;
        QTest::addRow("tools/testservices") << "tools/testservices" << 300;
    }
    void filesStaySmall()
    {
        QFETCH(QString, folder);
        QFETCH(int, maxLines);
        const QDir dir(QStringLiteral(TAMARIND_SOURCE_DIR "/") + folder);
        const QStringList files = dir.entryList({"*.cpp", "*.h"}, QDir::Files);
        QVERIFY(!files.isEmpty());
        // A class is kept in one file: the lookup pool's slots, attempts and outcomes are one room, its
        // pace and its queue of names rooms of their own.
        const QHash<QString, int> oneClassAllowance {{"engine/LookupPool.cpp", 450}};
        for (const QString &file : files) {
            QFile source(dir.filePath(file));
            QVERIFY(source.open(QIODevice::ReadOnly));
            const qsizetype lines = source.readAll().count('\n');
            const int allowed = oneClassAllowance.value(folder + '/' + file, maxLines);
            QVERIFY2(lines <= allowed, qPrintable(QString("%1/%2: %3 lines").arg(folder, file).arg(lines)));
        }
    }
};

QTEST_MAIN(TestSourceTree)
#include "TestSourceTree.moc"
