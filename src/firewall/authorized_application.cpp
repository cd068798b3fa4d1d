#include "firewall/firewall.h"

namespace {

const char16_t entry_name[] = u"qor VARAV";

// Whether the profile holds an enabled entry for the path. The list answers a path it does not hold with a
// failure of Item, whatever its code, so any failure of Item means absent. Everything the lookup obtained is
// given back before it returns.
plat::hresult find_enabled_entry(plat::net_fw_profile* profile, const char16_t* path, bool* present) {
  plat::net_fw_authorized_applications* list = nullptr;
  plat::net_fw_authorized_application* entry = nullptr;
  plat::bstr path_string = nullptr;
  plat::variant_bool enabled = 0;
  plat::hresult hr = plat::net_fw_profile_get_authorized_applications(profile, &list);
  if (plat::succeeded(hr)) {
    path_string = plat::sys_alloc_string(path);
    if (!path_string) hr = plat::e_outofmemory;
  }
  if (plat::succeeded(hr)) {
    if (plat::succeeded(plat::net_fw_authorized_applications_item(list, path_string, &entry)))
      hr = plat::net_fw_authorized_application_get_enabled(entry, &enabled);
    else
      hr = plat::s_ok;  // absent
  }
  *present = plat::succeeded(hr) && enabled != 0;
  plat::sys_free_string(path_string);
  if (entry) plat::release(entry);
  if (list) plat::release(list);
  return hr;
}

// A new entry for the path, passed to Add. Its other properties keep a new entry's defaults (enabled, every
// address). Each step runs only after the ones before it succeeded; everything is given back either way.
plat::hresult add_new_entry(plat::net_fw_profile* profile, const char16_t* path) {
  plat::net_fw_authorized_applications* list = nullptr;
  plat::net_fw_authorized_application* entry = nullptr;
  plat::bstr path_string = nullptr;
  plat::bstr name = nullptr;
  plat::hresult hr = plat::net_fw_profile_get_authorized_applications(profile, &list);
  if (plat::succeeded(hr)) hr = plat::co_create_net_fw_authorized_application(&entry);
  if (plat::succeeded(hr)) {
    path_string = plat::sys_alloc_string(path);
    if (!path_string) hr = plat::e_outofmemory;
  }
  if (plat::succeeded(hr)) hr = plat::net_fw_authorized_application_put_process_image_file_name(entry, path_string);
  if (plat::succeeded(hr)) {
    name = plat::sys_alloc_string(entry_name);
    if (plat::sys_string_len(name) == 0) hr = plat::e_outofmemory;  // the name is never empty: no string
  }
  if (plat::succeeded(hr)) hr = plat::net_fw_authorized_application_put_name(entry, name);
  if (plat::succeeded(hr)) hr = plat::net_fw_authorized_applications_add(list, entry);
  plat::sys_free_string(name);
  plat::sys_free_string(path_string);
  if (entry) plat::release(entry);
  if (list) plat::release(list);
  return hr;
}

}  // namespace

plat::hresult ensure_authorized_application(plat::net_fw_profile* profile, const char16_t* path) {
  bool present = false;
  plat::hresult hr = find_enabled_entry(profile, path, &present);
  if (!plat::succeeded(hr) || present) return hr;
  // A disabled entry is not switched on: the new entry, enabled, takes its place in the list through Add.
  return add_new_entry(profile, path);
}
