// Holds a file open as another process would (a running copy of the program, a virus scanner): opened for
// reading, sharing reading only, so that the installer's exclusive open for writing fails with 32. Prints
// "held" once it holds the file, and lets go when a line (or end of input) arrives on standard input.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    printf("failed %lu\n", GetLastError());
    return 1;
  }
  printf("held\n");
  fflush(stdout);
  char line[16];
  fgets(line, sizeof line, stdin);
  CloseHandle(file);
  return 0;
}
