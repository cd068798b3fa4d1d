#include "services/service_control.h"

#include "core/console.h"
#include "platform/clock.h"
#include "platform/services.h"

namespace {

constexpr uint32_t stop_limit_ms = 30000;
// A service may report any wait hint; 0xFFFFFFFF would put the installer to sleep for 49 days. One sleep of
// the stop wait lasts at most this long, which still honours real hints such as 45000 ms.
constexpr uint32_t stop_sleep_cap_ms = 60000;
constexpr uint32_t start_poll_min_ms = 1000;
constexpr uint32_t start_poll_max_ms = 10000;

using service_operation = uint32_t (*)(plat::handle service);

// Sleeps the service's wait hint between queries until it has stopped; gives up 30000 ms after the request,
// looked at only after each query, so a first long hint is still slept in full.
uint32_t wait_until_stopped(plat::handle service, plat::service_status status) {
  uint32_t t0 = plat::get_tick_count();
  if (status.current_state == service_state_stopped) return 0;
  for (;;) {
    plat::sleep(status.wait_hint < stop_sleep_cap_ms ? status.wait_hint : stop_sleep_cap_ms);
    if (!plat::query_service_status(service, &status)) return plat::get_last_error();
    if (status.current_state == service_state_stopped) return 0;
    if (plat::get_tick_count() - t0 > stop_limit_ms) return plat::error_unidentified_error;
  }
}

uint32_t stop_service(plat::handle service) {
  plat::service_status status{};
  if (!plat::control_service(service, plat::service_control_stop, &status)) return plat::get_last_error();
  return wait_until_stopped(service, status);
}

uint32_t start_poll_interval(uint32_t wait_hint) {
  uint32_t w = wait_hint / 10;
  if (w < start_poll_min_ms) return start_poll_min_ms;
  return w > start_poll_max_ms ? start_poll_max_ms : w;
}

// Polls while the service says start pending. A rising check point is progress and restarts the clock, so
// a slow service that keeps reporting progress is waited for without limit; one that stalls for longer than
// its wait hint is given up.
uint32_t start_service(plat::handle service) {
  plat::service_status status{};
  if (!plat::start_service(service)) return plat::get_last_error();
  if (!plat::query_service_status(service, &status)) return plat::get_last_error();
  uint32_t t0 = plat::get_tick_count();
  uint32_t c0 = status.check_point;
  while (status.current_state == 2) {  // SERVICE_START_PENDING
    plat::sleep(start_poll_interval(status.wait_hint));
    if (!plat::query_service_status(service, &status)) return plat::get_last_error();
    if (status.check_point > c0) {
      t0 = plat::get_tick_count();
      c0 = status.check_point;
    } else if (plat::get_tick_count() - t0 > status.wait_hint) {
      break;
    }
  }
  return status.current_state == service_state_running ? 0 : plat::error_unidentified_error;
}

// Opens the manager and the service anew for each one and closes both before the outcome is printed.
uint32_t with_service(const char* service_name, uint32_t access, service_operation operation) {
  plat::handle manager = plat::open_sc_manager(plat::sc_manager_all_access);
  if (!manager) return plat::get_last_error();
  uint32_t code = 0;
  plat::handle service = plat::open_service(manager, service_name, access);
  if (!service) {
    code = plat::get_last_error();
  } else {
    code = operation(service);
    plat::close_service_handle(service);
  }
  plat::close_service_handle(manager);
  return code;
}

bool any_running(const service_list* list) {
  for (uint32_t i = 0; i < list->count; i++)
    if (list->items[i].state == service_state_running) return true;
  return false;
}

void for_each_running(const service_list* list, const char* header, uint32_t access, service_operation operation) {
  if (!any_running(list)) return;
  print_info("%s", header);
  for (uint32_t i = 0; i < list->count; i++) {
    if (list->items[i].state != service_state_running) continue;
    print_info("  service \"%s\"... ", list->items[i].service_name);
    uint32_t code = with_service(list->items[i].service_name, access, operation);
    if (code == 0) print_info("ok\n");
    else print_warning("failed: 0x%08lx. Will attempt to continue...\n", code_arg(code));
  }
}

}  // namespace

bool stop_running_services(install_context* ctx) {
  for_each_running(&ctx->services, "Will stop services...\n", plat::service_stop | plat::service_query_status,
                   stop_service);
  return true;
}

bool start_recorded_services(install_context* ctx) {
  for_each_running(&ctx->services, "Will start services...\n", plat::service_start | plat::service_query_status,
                   start_service);
  return true;
}
