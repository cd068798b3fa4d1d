#include "core/console.h"
#include "core/path.h"
#include "firewall/firewall.h"

namespace {

// A single-threaded apartment, as the firewall's objects expect, and no OLE 1 DDE window traffic.
constexpr uint32_t apartment_flags = plat::coinit_apartmentthreaded | plat::coinit_disable_ole1dde;

unsigned long hresult_arg(plat::hresult hr) { return code_arg(static_cast<uint32_t>(hr)); }

void report_failure(plat::hresult hr) {
  print_warning(" failed: 0x%08lx. Will attempt to continue...\n", hresult_arg(hr));
}

// The payload path in the form the firewall takes: UTF-16, converted from the ANSI code page the destination
// is held in, so that both forms name the same file. A code page never yields more UTF-16 units than bytes,
// so 260 units always hold it; a conversion that fails all the same leaves no path to name.
bool build_wide_payload_path(const install_context* ctx, const char* file_name, char16_t* wide) {
  char path[plat::max_path];
  if (!path_below_destination(ctx, file_name, path)) return false;
  if (plat::ansi_to_utf16(path, wide, plat::max_path) == 0) return report_internal_error();
  return true;
}

// Only the profile is needed beyond this point: the manager and the policy it came through are released
// at once, the policy first.
plat::hresult open_current_profile(plat::net_fw_profile** profile) {
  plat::net_fw_mgr* manager = nullptr;
  plat::net_fw_policy* policy = nullptr;
  plat::hresult hr = plat::co_create_net_fw_mgr(&manager);
  if (plat::succeeded(hr)) hr = plat::net_fw_mgr_get_local_policy(manager, &policy);
  if (plat::succeeded(hr)) hr = plat::net_fw_policy_get_current_profile(policy, profile);
  if (policy) plat::release(policy);
  if (manager) plat::release(manager);
  return hr;
}

}  // namespace

bool configure_firewall(const install_context* ctx, const char* file_name) {
  print_info("Will configure firewall...\n");
  plat::hresult hr = plat::co_initialize_ex(apartment_flags);
  // RPC_E_CHANGED_MODE: the thread already lives in another apartment, which serves the firewall as well.
  if (!plat::succeeded(hr) && hr != plat::rpc_e_changed_mode) {
    print_warning("  CoInitializeEx failed: 0x%08lx. Will attempt to continue...\n", hresult_arg(hr));
    return true;
  }
  bool ok = add_firewall_exception(ctx, file_name);
  // Only an initialisation of our own is balanced; the other apartment stays as its owner made it.
  if (plat::succeeded(hr)) plat::co_uninitialize();
  return ok;
}

bool add_firewall_exception(const install_context* ctx, const char* file_name) {
  print_info("  exception for \"%s\"...", file_name);
  char16_t path[plat::max_path];
  if (!build_wide_payload_path(ctx, file_name, path)) return false;
  plat::net_fw_profile* profile = nullptr;
  plat::hresult hr = open_current_profile(&profile);
  if (!plat::succeeded(hr)) {
    report_failure(hr);
    return true;
  }
  hr = ensure_authorized_application(profile, path);
  if (plat::succeeded(hr)) print_info(" ok\n");
  else report_failure(hr);
  plat::release(profile);
  return true;
}
