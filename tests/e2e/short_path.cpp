// Prints the 8.3 short form of an existing path, as the system makes it, so that a test can start a program
// through it.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  char short_path[MAX_PATH];
  DWORD length = GetShortPathNameA(argv[1], short_path, sizeof short_path);
  if (length == 0 || length >= sizeof short_path) {
    printf("failed %lu\n", GetLastError());
    return 1;
  }
  printf("%s\n", short_path);
  return 0;
}
