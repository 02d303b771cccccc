// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/TuningWindow.h: what the window would show is kept
// for the test to read.
#include "platform/fake/FakeTuningWindow.h"

namespace q60::fake {
namespace {

bool shown = false;
TuningPicture picture;

}  // namespace

bool tuningWindowShown() { return shown; }
TuningPicture tuningWindowPicture() { return picture; }

}  // namespace q60::fake

namespace q60 {

void showTuningWindow(WindowHandle, bool shown, int) { fake::shown = shown; }
void setTuningPicture(const TuningPicture& picture) { fake::picture = picture; }

}  // namespace q60
