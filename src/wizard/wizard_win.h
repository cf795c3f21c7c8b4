// The install-mode user interface.
#pragma once
#include <windows.h>

// The full-screen backdrop with the setup title; none when it failed.
HWND create_background_window(const char* title);

// Runs the four-page wizard modally, owned by owner.
void run_wizard(HWND owner);

// Moves a window to the centre of the primary screen.
void center_window(HWND window);
