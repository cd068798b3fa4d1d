// The Service Control Manager of the local machine's active database.
#pragma once

#include "platform/types.h"

namespace plat {

// Access rights and arguments the installer passes.
constexpr uint32_t sc_manager_create_service = 0x0002;
constexpr uint32_t sc_manager_enumerate_service = 0x0004;
constexpr uint32_t sc_manager_all_access = 0xF003F;
constexpr uint32_t service_query_config = 0x0001;
constexpr uint32_t service_query_status = 0x0004;
constexpr uint32_t service_start = 0x0010;
constexpr uint32_t service_stop = 0x0020;
constexpr uint32_t service_all_access = 0xF01FF;
constexpr uint32_t service_win32_own_process = 0x10;
constexpr uint32_t service_win32 = 0x30;
constexpr uint32_t service_state_all = 3;
constexpr uint32_t service_auto_start = 2;
constexpr uint32_t service_error_normal = 1;
constexpr uint32_t service_control_stop = 1;

// The codes of the service manager that the stages and their tests tell apart.
constexpr uint32_t error_more_data = 234;
constexpr uint32_t error_service_already_running = 1056;
constexpr uint32_t error_service_does_not_exist = 1060;
constexpr uint32_t error_service_not_active = 1062;
constexpr uint32_t error_service_exists = 1073;
constexpr uint32_t error_unidentified_error = 1287;

// SERVICE_STATUS, field for field.
struct service_status {
  uint32_t service_type;
  uint32_t current_state;
  uint32_t controls_accepted;
  uint32_t win32_exit_code;
  uint32_t service_specific_exit_code;
  uint32_t check_point;
  uint32_t wait_hint;
};

// ENUM_SERVICE_STATUSA, field for field: the names point into the same enumeration buffer.
struct enum_service_status {
  char* service_name;
  char* display_name;
  service_status status;
};

// QUERY_SERVICE_CONFIGA, field for field: the strings point into the same buffer.
struct service_config {
  uint32_t service_type;
  uint32_t start_type;
  uint32_t error_control;
  char* binary_path_name;
  char* load_order_group;
  uint32_t tag_id;
  char* dependencies;
  char* service_start_name;
  char* display_name;
};

// OpenSCManagerW on the local machine's active database: a handle, or null.
handle open_sc_manager(uint32_t access);

// EnumServicesStatusA: fills the buffer with *count entries (strings packed after them) starting at
// *resume_handle. Fails with 234 when more entries follow; *resume_handle then says where the next batch
// starts and the entries returned are valid.
bool enum_services_status(handle manager, uint32_t service_type, uint32_t service_state, void* buffer,
                          uint32_t size, uint32_t* bytes_needed, uint32_t* count, uint32_t* resume_handle);

// OpenServiceA: a handle, or null.
handle open_service(handle manager, const char* service_name, uint32_t access);

// QueryServiceConfigA into a buffer that starts with a service_config. Fails with 122 and the size
// needed when the buffer is too small.
bool query_service_config(handle service, void* buffer, uint32_t size, uint32_t* bytes_needed);

// ControlService.
bool control_service(handle service, uint32_t control, service_status* status);

// QueryServiceStatus.
bool query_service_status(handle service, service_status* status);

// StartServiceW without arguments. Returns once the manager has started the service's process.
bool start_service(handle service);

// CreateServiceA without load order group, tag, dependencies, account or password (the local system
// account): a handle, or null.
handle create_service(handle manager, const char* service_name, const char* display_name, uint32_t access,
                      uint32_t service_type, uint32_t start_type, uint32_t error_control,
                      const char* binary_path_name);

// ChangeServiceConfig2A at level SERVICE_CONFIG_DESCRIPTION.
bool change_service_description(handle service, const char* description);

// CloseServiceHandle: managers and services.
bool close_service_handle(handle object);

}  // namespace plat
