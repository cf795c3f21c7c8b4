// Undoing one record line of the install log.
#pragma once
#include <windows.h>

// Delete the file / remove the directory named after the line's first colon.
// On false the thread's last error tells why.
bool delete_logged_file(const char* line);
bool remove_logged_dir(const char* line);

// Undo a "Reg DB Key" / "Reg DB Value" record under root_hkey. A failure shows
// the whole line in a box captioned with the failed action and gives false;
// a line that names no key is passed over (true).
bool delete_registry_key(HKEY root_hkey, const char* line);
bool delete_registry_value(HKEY root_hkey, const char* line);
