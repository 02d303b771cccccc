// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window system as the logic sees it: the main dialog built from a template,
// the messages it delivers to the logic's window procedure, and the requests made of it.
#include <cstdint>
#include <span>

namespace q60 {

// Opaque handle of the main dialog; null while it does not exist.
struct PlatformWindow;
using WindowHandle = PlatformWindow*;

// ---- The dialog template: positions and sizes in dialog units ----

enum class ControlKind { PushButton, VerticalLevelBar, Slider };

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    bool tabStop;  // in the Tab chain; the first one has the focus at start
    int x, y, width, height;
};

// The menu as a flat list: a Popup entry opens a popup (in the bar or nested),
// EndPopup closes the innermost open one.
enum class MenuEntryKind { Popup, Item, Separator, EndPopup };

struct MenuEntry {
    MenuEntryKind kind;
    int id;  // Item only
    const char* text;
    bool checked;  // Item only: its check mark at start
};

struct DialogTemplate {
    const char* caption;
    int x, y, width, height;
    std::span<const ControlTemplate> controls;
    std::span<const MenuEntry> menu;
    const char* const* iconXpm;  // the window's icon, as XPM lines
};

// Pixels per dialog unit, as an 8-point dialog font gives: 6/4 across, 13/8 down.
inline constexpr int dialogUnitPixelsX = 6;
inline constexpr int dialogUnitsPerX = 4;
inline constexpr int dialogUnitPixelsY = 13;
inline constexpr int dialogUnitsPerY = 8;

// Dialog units to pixels, rounded half away from zero as the dialog manager rounds.
constexpr int dialogUnitsToPixelsX(int units)
{
    return (units * dialogUnitPixelsX * 2 + dialogUnitsPerX) / (dialogUnitsPerX * 2);
}
constexpr int dialogUnitsToPixelsY(int units)
{
    return (units * dialogUnitPixelsY * 2 + dialogUnitsPerY) / (dialogUnitsPerY * 2);
}

// ---- Messages delivered to the window procedure, all on the window thread ----

// PlaybackLost: the playback device failed while open (platform/Audio.h).
// SoundDeviceLost: a chosen sound device went away while the server stayed (id:
// soundOutputLost or soundInputLost).
enum class MessageKind { InitDialog, Command, Timer, Paint, HScroll, Destroy, PlaybackLost, SoundDeviceLost };
inline constexpr int soundOutputLost = 0;
inline constexpr int soundInputLost = 1;

// How a slider moved: the thumb dragged (track) or let go (position), or anything
// else (keys, clicks beside the thumb, the wheel).
enum class ScrollCode { ThumbPosition, ThumbTrack, Other };

struct WindowMessage {
    MessageKind kind;
    int id = 0;  // command ID, timer ID, or the slider's control ID
    ScrollCode scroll = ScrollCode::Other;
    int position = 0;  // the slider's new position, HScroll only
};

using WindowProc = void (*)(WindowHandle window, const WindowMessage& message);

// Builds the dialog from its template, delivers InitDialog, shows it and runs
// until the procedure asks to quit; returns the status given to postQuitMessage.
// Runs inside runDesktopProgram (platform/Desktop.h).
int runMainDialog(const DialogTemplate& dialog, WindowProc procedure);

// ---- Requests ----

// Delivers a command to the window procedure and returns when it has run.
void sendCommand(WindowHandle window, int id);
// Closes the window once the current message is done: Destroy follows.
void postClose(WindowHandle window);
// Ends the dialog's message loop with this status.
void postQuitMessage(int status);

void checkMenuItem(WindowHandle window, int id, bool checked);
void enableMenuItem(WindowHandle window, int id, bool enabled);
// A line of help the menu item shows while pointed at.
void setMenuItemTip(WindowHandle window, int id, const char* text);
// Appends an item to the end of the popup'th popup of the menu bar (0 the first).
void appendMenuItem(WindowHandle window, int popup, int id, const char* text);
void drawMenuBar(WindowHandle window);

// A modal message box owned by the window, caption "info", OK only; returns when closed.
void showMessage(WindowHandle window, const char* text);
void setCaption(WindowHandle window, const char* text);

// Repaints the whole window before returning; a null handle is ignored.
void repaintNow(WindowHandle window);
// During Paint only: draws a bottom-up 24-bit BGR bitmap (rows padded to 4 bytes)
// stretched to the given client rectangle, in pixels.
void stretchBitmap(WindowHandle window, int x, int y, int width, int height,
                   const uint8_t* bits, int bitmapWidth, int bitmapHeight);

// Positions are clamped to the controls' range, 0 to 100.
void setLevelBar(WindowHandle window, int percent);
void setSliderPosition(WindowHandle window, int id, int position);

// Delivers Timer with this ID every period until the window ends.
void startTimer(WindowHandle window, int id, int periodMs);

}  // namespace q60
