#include <windows.h>

#include <cstddef>

#include "platform/services.h"

namespace plat {

// The stages read the manager's records through our own mirror of them: keep the two in step.
static_assert(sizeof(service_status) == sizeof(SERVICE_STATUS));
static_assert(sizeof(enum_service_status) == sizeof(ENUM_SERVICE_STATUSA));
static_assert(offsetof(enum_service_status, status) == offsetof(ENUM_SERVICE_STATUSA, ServiceStatus));
static_assert(sizeof(service_config) == sizeof(QUERY_SERVICE_CONFIGA));
static_assert(offsetof(service_config, binary_path_name) == offsetof(QUERY_SERVICE_CONFIGA, lpBinaryPathName));
static_assert(offsetof(service_config, display_name) == offsetof(QUERY_SERVICE_CONFIGA, lpDisplayName));

handle open_sc_manager(uint32_t access) { return OpenSCManagerW(nullptr, nullptr, access); }

bool enum_services_status(handle manager, uint32_t service_type, uint32_t service_state, void* buffer,
                          uint32_t size, uint32_t* bytes_needed, uint32_t* count, uint32_t* resume_handle) {
  DWORD needed = *bytes_needed, returned = *count, resume = *resume_handle;
  BOOL ok = EnumServicesStatusA(static_cast<SC_HANDLE>(manager), service_type, service_state,
                                static_cast<ENUM_SERVICE_STATUSA*>(buffer), size, &needed, &returned, &resume);
  *bytes_needed = needed;
  *count = returned;
  *resume_handle = resume;
  return ok != 0;
}

handle open_service(handle manager, const char* service_name, uint32_t access) {
  return OpenServiceA(static_cast<SC_HANDLE>(manager), service_name, access);
}

bool query_service_config(handle service, void* buffer, uint32_t size, uint32_t* bytes_needed) {
  DWORD needed = 0;
  BOOL ok = QueryServiceConfigA(static_cast<SC_HANDLE>(service), static_cast<QUERY_SERVICE_CONFIGA*>(buffer),
                                size, &needed);
  *bytes_needed = needed;
  return ok != 0;
}

bool control_service(handle service, uint32_t control, service_status* status) {
  return ControlService(static_cast<SC_HANDLE>(service), control, reinterpret_cast<SERVICE_STATUS*>(status)) != 0;
}

bool query_service_status(handle service, service_status* status) {
  return QueryServiceStatus(static_cast<SC_HANDLE>(service), reinterpret_cast<SERVICE_STATUS*>(status)) != 0;
}

bool start_service(handle service) { return StartServiceW(static_cast<SC_HANDLE>(service), 0, nullptr) != 0; }

handle create_service(handle manager, const char* service_name, const char* display_name, uint32_t access,
                      uint32_t service_type, uint32_t start_type, uint32_t error_control,
                      const char* binary_path_name) {
  return CreateServiceA(static_cast<SC_HANDLE>(manager), service_name, display_name, access, service_type,
                        start_type, error_control, binary_path_name, nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool change_service_description(handle service, const char* description) {
  SERVICE_DESCRIPTIONA info;
  info.lpDescription = const_cast<char*>(description);
  return ChangeServiceConfig2A(static_cast<SC_HANDLE>(service), SERVICE_CONFIG_DESCRIPTION, &info) != 0;
}

bool close_service_handle(handle object) { return CloseServiceHandle(static_cast<SC_HANDLE>(object)) != 0; }

}  // namespace plat
