// Where the installer's windows go and how large the backdrop's title is:
// plain arithmetic on screen sizes, kept apart so it can be tested anywhere.
#pragma once

// The left (or top) edge that centres a window of this extent on a screen;
// integer division rounds toward zero, so a window wider than the screen
// starts left of it.
constexpr int centered_origin(int screen_extent, int window_extent) {
  return (screen_extent - window_extent) / 2;
}

// The backdrop title's cell height in pixels: a tenth of the screen height.
constexpr int title_font_height(int screen_height) { return screen_height / 10; }
