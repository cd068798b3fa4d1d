// Stand-in for the product's server: a minimal but real Windows service, so that an installation under Wine
// can register it, start it, find it running on the next run, stop it and start it again. It does no work:
// it reports start pending, then running, and waits until it is told to stop. Started from a console
// instead of by the service manager it prints its name and version.
#include <windows.h>

#include <cstdio>

namespace {

char service_name[] = "ZEVAREVI.MATRIX2";  // one service per process: the manager ignores the name

SERVICE_STATUS_HANDLE status_handle;
SERVICE_STATUS status;
HANDLE stop_event;

void report(DWORD state, DWORD wait_hint) {
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  status.dwWin32ExitCode = NO_ERROR;
  bool settled = state == SERVICE_RUNNING || state == SERVICE_STOPPED;
  status.dwCheckPoint = settled ? 0 : status.dwCheckPoint + 1;
  status.dwWaitHint = wait_hint;
  SetServiceStatus(status_handle, &status);
}

DWORD WINAPI control_handler(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      report(SERVICE_STOP_PENDING, 2000);
      SetEvent(stop_event);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI service_main(DWORD, char**) {
  status_handle = RegisterServiceCtrlHandlerExA(service_name, control_handler, nullptr);
  if (!status_handle) return;
  report(SERVICE_START_PENDING, 2000);
  stop_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stop_event) {
    report(SERVICE_STOPPED, 0);
    return;
  }
  report(SERVICE_RUNNING, 0);
  WaitForSingleObject(stop_event, INFINITE);
  CloseHandle(stop_event);
  report(SERVICE_STOPPED, 0);
}

}  // namespace

int main() {
  SERVICE_TABLE_ENTRYA services[] = {{service_name, service_main}, {nullptr, nullptr}};
  if (StartServiceCtrlDispatcherA(services)) return 0;
  if (GetLastError() != ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) return 1;
  printf("qor.ua.matrix2.exe %s (stand-in server)\n", QOR_STAND_IN_VERSION);
  return 0;
}
