#include "core/entry.h"
#include "platform/startup.h"

int main(int argc, char** argv) {
  plat::restrict_dll_search();  // first: no DLL loaded from here on comes from beside the exe
  return installer_main(argc, argv);
}
