// Every message box of the program goes through show_message_box, so that the
// Windows unit tests can record boxes (and answer them) instead of blocking,
// and so that an unattended run shows none.
#pragma once
#include <windows.h>

using message_box_fn = int(WINAPI*)(HWND owner, const char* text, const char* caption, UINT type);

// MessageBoxA unless a test replaced it.
extern message_box_fn message_box_impl;

// A null caption lets Windows show its default caption ("Error"). In an
// unattended run the text goes to the report instead and the box's default
// button is the answer.
int show_message_box(HWND owner, const char* text, const char* caption, UINT type);
