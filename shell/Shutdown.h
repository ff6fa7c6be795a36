#pragma once
#include <functional>

// How the program ends: when the main window closes, or when the website window it left open does.
namespace Shutdown {

// Stops the skin's companion and ends the program (the event loop); tests replace the ending.
void endProgram();
std::function<void()> &endHook();

}   // namespace Shutdown
