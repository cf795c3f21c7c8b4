// The install-mode user interface.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>

// The full-screen backdrop with the setup title; none when it failed.
HWND create_background_window(const char* title);

// Runs the four-page wizard modally, owned by owner; its install page hands
// installer_image to the install sequence.
void run_wizard(HWND owner, std::span<const std::byte> installer_image);

// Moves a window to the centre of the primary screen.
void center_window(HWND window);
