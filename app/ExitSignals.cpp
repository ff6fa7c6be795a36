#include "app/ExitSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace ExitSignals {

namespace {

int pipeEnds[2] = {-1, -1};

// Only async-signal-safe work here: the number goes through a socket to the event loop.
void onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
}

}   // namespace

std::unique_ptr<QObject> install(std::function<void(int signal)> handler)
{
    if (pipeEnds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(pipeEnds[1], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [handler = std::move(handler)] {
        char byte = 0;
        if (::read(pipeEnds[1], &byte, 1) == 1)
            handler(int(byte));
    });
    struct sigaction action {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(number, &action, nullptr);
    return notifier;
}

}   // namespace ExitSignals
