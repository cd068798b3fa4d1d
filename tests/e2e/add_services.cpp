// Registers many services at once (one wine process instead of one `sc create` each): "add_services N
// PREFIX COMMAND" creates PREFIX000, PREFIX001, ... demand-start own-process services with COMMAND as their
// command line. Prints how many it created.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  int count = atoi(argv[1]);
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
  if (!manager) return 1;
  int created = 0;
  for (int i = 0; i < count; i++) {
    char name[256];
    snprintf(name, sizeof name, "%s%03d", argv[2], i);
    SC_HANDLE service = CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, argv[3], nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    if (!service) break;
    CloseServiceHandle(service);
    created++;
  }
  CloseServiceHandle(manager);
  printf("%d\n", created);
  return created == count ? 0 : 1;
}
