#include "services/registration.h"

#include <cstring>

#include "core/console.h"
#include "core/path.h"
#include "platform/services.h"
#include "services/service_list.h"

namespace {

bool already_bound(const service_list* list, const char* file_name) {
  for (uint32_t i = 0; i < list->count; i++)
    if (strcmp(list->items[i].file_name, file_name) == 0) return true;
  return false;
}

// "\"<destination><file>\"" and, if there are any, a blank and the arguments: quoted so that a destination
// with blanks in it still names one executable.
bool build_command_line(const install_context* ctx, const char* file_name, const char* arguments, char* out) {
  bool fits = path_copy(out, "\"") && path_append(out, ctx->destination) && path_append(out, file_name) &&
              path_append(out, "\"");
  if (fits && arguments && arguments[0]) fits = path_append(out, " ") && path_append(out, arguments);
  return fits;
}

uint32_t create_service(const char* service_name, const char* display_name, const char* description,
                        const char* command_line) {
  plat::handle manager = plat::open_sc_manager(plat::sc_manager_create_service);
  if (!manager) return plat::get_last_error();
  uint32_t code = 0;
  plat::handle service = plat::create_service(manager, service_name, display_name, plat::service_all_access,
                                              plat::service_win32_own_process, plat::service_auto_start,
                                              plat::service_error_normal, command_line);
  if (!service) {
    code = plat::get_last_error();
  } else {
    plat::change_service_description(service, description);  // a service without description still runs
    plat::close_service_handle(service);
  }
  plat::close_service_handle(manager);
  return code;
}

}  // namespace

bool register_service(install_context* ctx, const char* file_name, const char* service_name,
                      const char* display_name, const char* description, const char* arguments) {
  if (already_bound(&ctx->services, file_name)) {
    print_warning("Other services were already registered. Will not register any new!\n");
    return true;
  }
  print_info("Registering service \"%s\"...", service_name);
  char command_line[plat::max_path];
  if (!build_command_line(ctx, file_name, arguments, command_line)) return report_internal_error();
  uint32_t code = create_service(service_name, display_name, description, command_line);
  if (code != 0) {
    print_error(" failed: 0x%08lx\n", code_arg(code));
    return false;
  }
  service_list_append(&ctx->services, file_name, service_name, service_state_running);
  print_info(" ok\n");
  return true;
}
