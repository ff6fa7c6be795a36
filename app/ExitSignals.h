#pragma once
#include <QObject>
#include <functional>
#include <memory>

// SIGINT, SIGTERM and SIGHUP, delivered on the event loop instead of ending the process at once, so
// that a run stops as Stop does and the settings are written before the program ends.
namespace ExitSignals {

// Calls handler from the event loop for each signal that arrives, for as long as the returned
// object lives. Needs a QCoreApplication.
std::unique_ptr<QObject> install(std::function<void(int signal)> handler);

}   // namespace ExitSignals
