// Removal of the running uninstaller copy. A batch file beside the executable
// deletes it, retrying a bounded number of times until the ended process has
// let go of the file, and then deletes itself:
//
//   set tries=0
//   :Repeat
//   del "%~n0"
//   if not exist "%~n0" goto Done
//   set /a tries+=1
//   if %tries% geq 20 goto Done
//   "<system directory>\ping.exe" -n 2 127.0.0.1 >nul
//   goto Repeat
//   :Done
//   del "%~nx0"
//
// The batch names no folder and no name of its own. The interpreter, cmd.exe
// of the system directory, runs it in the executable's folder, handed its
// bare name (".\<executable>.bat") on a quoted command line, so %~n0 is the
// executable's bare name. cmd reads a batch file's bytes in the console's code
// page and expands every % in what it reads (and, on some hosts, once more in
// what %0 or %CD% give): a name on the command line reaches it as the
// system's own text, and a folder it never reads can hold anything. ping,
// named by its full path, is the only wait a batch has.
//
// The batch runs hidden, started suspended at idle priority; the uninstaller
// raises its own priority before letting it go, so it ends first.
#pragma once

// Has a hidden batch process delete the running executable once it has ended.
void delete_self();

// The same for the executable at exe_path. False when nothing was started:
// the path leaves no room for ".bat", the executable's bare name holds a %
// (cmd would expand it), the system directory can't be written into a batch
// line, the batch file can't be written, or the process can't be created
// (the batch file then stays).
bool start_self_removal(const char* exe_path);

// Writes the batch file above (text mode: lines end in CR LF), the wait
// naming ping.exe in system_dir. False, and nothing written, for a system
// directory that is not plain printable ASCII without % and ".
bool write_removal_batch(const char* batch_path, const char* system_dir);
