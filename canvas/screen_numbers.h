// Telling screens apart: a screen's number drawn so that it reads on any
// picture, and "&Identify", which shows each monitor's number on the monitor.
#pragma once
#include <windows.h>

// The class of the windows that show a monitor's number; each window's text is the number.
#define IDENTIFY_WINDOW_CLASS L"TessivonIdentify"
// How long the numbers stay on the monitors.
#define IDENTIFY_MS 3000

// The text drawn in the colour over a ring of it in the outline colour, the
// ring thickness pixels wide, so that it reads on light and dark pictures
// alike; format as DrawTextW's, in the box.
void DrawOutlinedText(HDC dc, const wchar_t *text, const RECT &box, UINT format, COLORREF color,
                      COLORREF outline, int thickness);

// Shows every monitor's number (the number of the display menu and the screen
// items) large on the monitor for IDENTIFY_MS, topmost, never activated, and
// letting clicks through to what lies below; numbers still shown from an
// earlier call go first. Gives how many monitors show their number.
int IdentifyScreens();
