// Removal of the running uninstaller copy. A batch file beside the executable
// deletes it, retrying until the ended process has let go of the file, and then
// deletes itself:
//
//   :Repeat
//   del "<executable>"
//   if exist "<executable>" goto Repeat
//   del "<executable>.bat"
//
// The batch runs hidden, started suspended at idle priority; the uninstaller
// raises its own priority before letting it go, so it ends first.
#pragma once

// Has a hidden batch process delete the running executable once it has ended.
void delete_self();

// The same for the executable at exe_path. False when nothing was started:
// the path leaves no room for ".bat", the batch file can't be written, or
// the process can't be created (the batch file then stays).
bool start_self_removal(const char* exe_path);

// Writes the four-line batch file (text mode: lines end in CR LF).
bool write_removal_batch(const char* exe_path, const char* batch_path);
