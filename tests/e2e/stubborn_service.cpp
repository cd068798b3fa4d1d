// A service that refuses to be stopped: it reports running without accepting any control, so the service
// manager turns a stop request down, and it never ends by itself. Only killing its process ends it.
#include <windows.h>

namespace {

char service_name[] = "Stubborn.Server";  // one service per process: the manager ignores the name
SERVICE_STATUS_HANDLE status_handle;

DWORD WINAPI control_handler(DWORD control, DWORD, void*, void*) {
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI service_main(DWORD, char**) {
  status_handle = RegisterServiceCtrlHandlerExA(service_name, control_handler, nullptr);
  if (!status_handle) return;
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = SERVICE_RUNNING;
  status.dwControlsAccepted = 0;
  SetServiceStatus(status_handle, &status);
  Sleep(INFINITE);
}

}  // namespace

int main() {
  SERVICE_TABLE_ENTRYA services[] = {{service_name, service_main}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(services) ? 0 : 1;
}
