// A decoy of the self-removal tests: run, it leaves the file "<its own
// path>.ran" beside itself, the mark that something started it.
#include <windows.h>

int main() {
  char path[MAX_PATH + 4];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatA(path, ".ran");
  HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (mark == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(mark);
  return 0;
}
