// An exe that imports version.dll the ordinary way, as the installer must not: the import check has to
// reject it.
#include <windows.h>

int main() {
  DWORD handle = 0;
  return GetFileVersionInfoSizeA("C:\\windows\\system32\\ntdll.dll", &handle) ? 0 : 1;
}
