/* Built only into the stand-ins linked against MSVCR71.dll. That runtime
   exports the POSIX names with a leading underscore only, and has no rand_s;
   the compiler's static C++ and thread libraries call them by the names that
   MSVCRT.dll exports. */
#include <windows.h>
#include <ntsecapi.h>

int __cdecl _close(int fd);
int __cdecl _read(int fd, void* buffer, unsigned int count);

int __cdecl close(int fd) { return _close(fd); }
int __cdecl read(int fd, void* buffer, unsigned int count) { return _read(fd, buffer, count); }
char* __cdecl strdup(const char* text) { return _strdup(text); }

static int __cdecl random_number(unsigned int* value) {
  return RtlGenRandom(value, sizeof *value) ? 0 : 22; /* EINVAL */
}
/* Callers import rand_s: they read its address from this pointer. */
int(__cdecl* _imp__rand_s)(unsigned int*) = random_number;
