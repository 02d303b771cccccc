#pragma once
// The window system as the logic sees it: a handle and the requests made of it.

namespace q60 {

// Opaque handle of one of the platform's windows; null while the window does not exist.
struct PlatformWindow;
using WindowHandle = PlatformWindow*;

// Repaints the whole window before returning; a null handle is ignored.
void repaintNow(WindowHandle window);

}  // namespace q60
