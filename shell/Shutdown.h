#pragma once
#include <functional>

// How the program ends. The main window's close ends it, unless the website window is open: then
// only the end-pending flag is set, and the website window's close ends it.
namespace Shutdown {

bool &endPending();
// Stops the skin's companion and ends the program (the event loop); tests replace the ending.
void endProgram();
std::function<void()> &endHook();

}   // namespace Shutdown
