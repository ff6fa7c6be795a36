// Pictures of the harvest windows as a user sees them: the list builder during a search, and the
// browser harvest window with a harvested page and its checks. Pages come from a web server on
// 127.0.0.1 in this program; names are asked of a whois-test-server from the build folder.
// Usage: xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/harvest-screenshots OUTPUT_FOLDER
#include "Screenshots.h"
#include "app/ProgramFolder.h"
#include "ui/Form1.h"
#include "ui/Form3.h"
#include "ui/Form5.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <unistd.h>

namespace {

QByteArray page(const QByteArray &path)
{
    QByteArray body =
        "<html><head><title>Garden supplies - results</title></head><body style=\"font-family:sans-serif\">"
        "<h2>Results for garden supplies</h2>";
    const char *names[] = {"greenthumbtools", "seedvault", "potterybarnyard", "hoseandhose", "compostcorner",
        "rakeandroll", "bloomdepot", "shedmasters", "trowelworld", "mulchmarket"};
    int shift = path.contains("b=21") ? 1 : 0;
    for (int i = 0; i < 10; ++i) {
        const QByteArray name = QByteArray(names[i]) + (shift ? "plus" : "");
        body += "<p><a href=\"http://www." + name + ".com/\">" + name + ".com</a> - visit " + name
            + ".net for more about garden supplies.</p>";
    }
    return body + "</body></html>";
}

}   // namespace

int main(int argc, char **argv)
{
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --no-first-run");
    }
    QApplication app(argc, argv);
    const ScreenshotRun run(argc, argv);
    if (run.output.isEmpty())
        return 2;
    const QString &output = run.output;

    QTcpServer web;
    web.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&web, &QTcpServer::newConnection, [&web] {
        while (QTcpSocket *socket = web.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                const QByteArray body = page(socket->readAll().split(' ').value(1));
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        }
    });
    const QByteArray host = "127.0.0.1:" + QByteArray::number(web.serverPort());
    qputenv("TAMARIND_YAHOO_HOST", host);
    QProcess server;
    server.start(run.build + QStringLiteral("/whois-test-server"),
        {"--port", "0", "--free-ratio", "0.5", "--latency-ms", "200"});
    server.waitForReadyRead(5000);
    const QByteArray line = server.readLine().trimmed();
    qputenv("TAMARIND_WHOIS_SERVER", line.mid(line.lastIndexOf(' ') + 1));

    Form1 main;
    main.resize(1400, 900);
    main.show();
    control<QComboBox>(main, "Combo1")->setCurrentIndex(int(Source::YahooSearch));
    emit control<QComboBox>(main, "Combo1")->activated(int(Source::YahooSearch));
    control<QLineEdit>(main, "txtSearch")->setText(QStringLiteral("garden supplies"));
    control<QToolButton>(main, "cmdCreate")->click();
    auto *builder = qobject_cast<Form3 *>(main.listBuilderWindow());
    builder->setPageInterval(4000);   // long enough to be seen between pages
    if (!QTest::qWaitFor(
            [&] {
                return builder->findChild<QLineEdit *>(QStringLiteral("Text1"))
                    ->text()
                    .startsWith(QStringLiteral("Extracted"));
            },
            15000))
        std::fprintf(stderr, "the first result page did not come\n");
    QTest::qWait(500);
    saveScreenshot(builder, output, QStringLiteral("list-builder"));
    builder->close();
    control<QToolButton>(main, "Command3")->click();

    control<QComboBox>(main, "Combo1")->setCurrentIndex(int(Source::BrowseForNames));
    emit control<QComboBox>(main, "Combo1")->activated(int(Source::BrowseForNames));
    auto *harvest = qobject_cast<Form5 *>(main.harvestWindow());
    harvest->resize(1500, 950);
    if (!QTest::qWaitFor([&] { return harvest->List1->count() + harvest->List2->count() >= 8; }, 30000))
        std::fprintf(stderr, "the names were not checked in time\n");
    saveScreenshot(harvest, output, QStringLiteral("harvest"));
    harvest->close();
    server.kill();
    server.waitForFinished();
    return 0;
}
