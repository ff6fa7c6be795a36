#pragma once

// What the desktop program sets before its application object exists (the screen test too).
// The web engine draws with OpenGL contexts shared with the other windows: set any later, every
// window but the web views draws black once a web view exists. Chromium's sandbox cannot run as
// root (tests, CI); there it goes, and the browser is kept off the network it would otherwise
// reach for by itself.
void prepareApplication();
