// The simulated COM and Windows Firewall. Objects are numbered like handles and counted by reference; strings
// are real allocations, so that the put_ calls can read them. Every misuse a real COM would punish with a
// crash or a leak (a second release, a freed string passed on, a call on a released object) is counted
// instead, for the tests to see.
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "platform/fake/machine.h"
#include "platform/firewall.h"

namespace fake {
namespace {

constexpr int32_t e_pointer = static_cast<int32_t>(0x80004003);
constexpr int32_t e_invalidarg = static_cast<int32_t>(0x80070057);
constexpr int32_t co_e_notinitialized = static_cast<int32_t>(0x800401F0);
constexpr int32_t file_not_found = static_cast<int32_t>(0x80070002);  // HRESULT_FROM_WIN32(2)

enum class kind { manager, policy, profile, applications, application };
const char* const kind_names[] = {"INetFwMgr", "INetFwPolicy", "INetFwProfile", "INetFwAuthorizedApplications",
                                  "INetFwAuthorizedApplication"};

struct com_object {
  kind what;
  int references;
  int entry;                     // an entry handed out by Item: its index in the profile's list; else -1
  authorized_application fresh;  // a newly created entry's own properties
};

struct firewall_state {
  int32_t initialize_result = plat::s_ok;
  int initialize_calls = 0;
  int uninitialize_calls = 0;
  uint32_t initialize_flags = 0;
  int apartment_depth = 0;  // initialisations that still need their CoUninitialize

  std::vector<authorized_application> applications;
  std::vector<authorized_application> added;

  std::map<std::pair<firewall_call, int>, int32_t> faults;  // (method, nth call) -> answer
  std::map<firewall_call, int> calls;
  int allocations = 0;
  std::set<int> refused_allocations;
  uint32_t conversion_error = 0;

  std::map<uintptr_t, com_object> objects;
  uintptr_t next_object = 0x7000;
  std::map<uintptr_t, std::unique_ptr<std::u16string>> strings;  // by the address handed out

  int misuse = 0;
  std::vector<std::string> log;
};

firewall_state fw;

bool com_usable() { return fw.apartment_depth > 0 || fw.initialize_result == plat::rpc_e_changed_mode; }

// Logs and counts a method call; the scripted answer for this call, or S_OK.
int32_t enter(firewall_call call, const char* name) {
  fw.log.push_back(name);
  int nth = ++fw.calls[call];
  auto fault = fw.faults.find({call, nth});
  return fault == fw.faults.end() ? plat::s_ok : fault->second;
}

com_object* object_of(const void* pointer, kind what) {
  auto it = fw.objects.find(reinterpret_cast<uintptr_t>(pointer));
  if (it == fw.objects.end() || it->second.what != what) {
    fw.misuse++;
    return nullptr;
  }
  return &it->second;
}

template <typename T>
T* hand_out(kind what, int entry = -1) {
  uintptr_t id = fw.next_object;
  fw.next_object += 8;
  fw.objects[id] = {what, 1, entry, {u"", u"", true}};  // a new entry is enabled until told otherwise
  return reinterpret_cast<T*>(id);
}

void release_object(const void* pointer, kind what) {
  fw.log.push_back(std::string("Release ") + kind_names[static_cast<int>(what)]);
  com_object* object = object_of(pointer, what);
  if (object && --object->references == 0) fw.objects.erase(reinterpret_cast<uintptr_t>(pointer));
}

// The properties an application object stands for: a stored entry, or a new one of its own.
authorized_application& entry_of(com_object& object) {
  return object.entry >= 0 ? fw.applications[static_cast<size_t>(object.entry)] : object.fresh;
}

const std::u16string* string_of(plat::bstr text) {
  auto it = fw.strings.find(reinterpret_cast<uintptr_t>(text));
  if (it == fw.strings.end()) {
    fw.misuse++;
    return nullptr;
  }
  return it->second.get();
}

char16_t fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool same_path(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

int find_entry(const std::u16string& path) {
  for (size_t i = 0; i < fw.applications.size(); i++)
    if (same_path(fw.applications[i].path, path)) return static_cast<int>(i);
  return -1;
}

// Windows-1252, the ANSI code page of the simulated machine: Latin-1 but for 0x80-0x9F.
const char16_t cp1252_high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t from_cp1252(unsigned char c) { return c >= 0x80 && c < 0xA0 ? cp1252_high[c - 0x80] : c; }

}  // namespace

void reset_firewall() { fw = firewall_state{}; }

void set_com_initialize_result(int32_t hr) { fw.initialize_result = hr; }
int com_initialize_calls() { return fw.initialize_calls; }
int com_uninitialize_calls() { return fw.uninitialize_calls; }
uint32_t com_initialize_flags() { return fw.initialize_flags; }

void add_authorized_application(const authorized_application& entry) { fw.applications.push_back(entry); }
const std::vector<authorized_application>& authorized_applications() { return fw.applications; }
const std::vector<authorized_application>& added_applications() { return fw.added; }

void fail_firewall_call(firewall_call call, int32_t hr, int nth) { fw.faults[{call, nth}] = hr; }
int firewall_calls(firewall_call call) { return fw.calls[call]; }
void refuse_string_allocation(int nth) { fw.refused_allocations.insert(nth); }
void fail_ansi_conversion(uint32_t code) { fw.conversion_error = code; }

const std::vector<std::string>& com_log() { return fw.log; }

int live_com_references() {
  int references = 0;
  for (const auto& [id, object] : fw.objects) references += object.references;
  return references;
}

int live_strings() { return static_cast<int>(fw.strings.size()); }
int com_misuse() { return fw.misuse; }

}  // namespace fake

namespace plat {

using fake::firewall_call;
using fake::fw;
using fake::kind;

hresult co_initialize_ex(uint32_t flags) {
  fw.log.push_back("CoInitializeEx");
  fw.initialize_calls++;
  fw.initialize_flags = flags;
  if (succeeded(fw.initialize_result)) fw.apartment_depth++;
  return fw.initialize_result;
}

void co_uninitialize() {
  fw.log.push_back("CoUninitialize");
  fw.uninitialize_calls++;
  if (fw.apartment_depth == 0) fw.misuse++;
  else fw.apartment_depth--;
}

bstr sys_alloc_string(const char16_t* text) {
  fw.log.push_back("SysAllocString");
  if (fw.refused_allocations.count(++fw.allocations) || !text) return nullptr;
  auto copy = std::make_unique<std::u16string>(text);
  bstr address = copy->data();
  fw.strings[reinterpret_cast<uintptr_t>(address)] = std::move(copy);
  return address;
}

uint32_t sys_string_len(bstr text) {
  if (!text) return 0;
  const std::u16string* s = fake::string_of(text);
  return s ? static_cast<uint32_t>(s->size()) : 0;
}

void sys_free_string(bstr text) {
  fw.log.push_back("SysFreeString");
  if (text && fake::string_of(text)) fw.strings.erase(reinterpret_cast<uintptr_t>(text));
}

int32_t ansi_to_utf16(const char* text, char16_t* out, int32_t capacity) {
  if (fw.conversion_error) return fake::fail(0, fw.conversion_error);
  size_t units = strlen(text) + 1;  // one unit per byte in a single-byte code page
  if (units > static_cast<size_t>(capacity)) return fake::fail(0, error_insufficient_buffer);
  for (size_t i = 0; i < units; i++) out[i] = fake::from_cp1252(static_cast<unsigned char>(text[i]));
  return static_cast<int32_t>(units);
}

hresult co_create_net_fw_mgr(net_fw_mgr** manager) {
  *manager = nullptr;
  hresult hr = fake::enter(firewall_call::create_manager, "CoCreateInstance NetFwMgr");
  if (!succeeded(hr)) return hr;
  if (!fake::com_usable()) return fake::co_e_notinitialized;
  *manager = fake::hand_out<net_fw_mgr>(kind::manager);
  return s_ok;
}

hresult co_create_net_fw_authorized_application(net_fw_authorized_application** application) {
  *application = nullptr;
  hresult hr = fake::enter(firewall_call::create_application, "CoCreateInstance NetFwAuthorizedApplication");
  if (!succeeded(hr)) return hr;
  if (!fake::com_usable()) return fake::co_e_notinitialized;
  *application = fake::hand_out<net_fw_authorized_application>(kind::application);
  return s_ok;
}

hresult net_fw_mgr_get_local_policy(net_fw_mgr* manager, net_fw_policy** policy) {
  *policy = nullptr;
  hresult hr = fake::enter(firewall_call::get_local_policy, "get_LocalPolicy");
  if (!fake::object_of(manager, kind::manager)) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  *policy = fake::hand_out<net_fw_policy>(kind::policy);
  return s_ok;
}

hresult net_fw_policy_get_current_profile(net_fw_policy* policy, net_fw_profile** profile) {
  *profile = nullptr;
  hresult hr = fake::enter(firewall_call::get_current_profile, "get_CurrentProfile");
  if (!fake::object_of(policy, kind::policy)) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  *profile = fake::hand_out<net_fw_profile>(kind::profile);
  return s_ok;
}

hresult net_fw_profile_get_authorized_applications(net_fw_profile* profile,
                                                   net_fw_authorized_applications** applications) {
  *applications = nullptr;
  hresult hr = fake::enter(firewall_call::get_authorized_applications, "get_AuthorizedApplications");
  if (!fake::object_of(profile, kind::profile)) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  *applications = fake::hand_out<net_fw_authorized_applications>(kind::applications);
  return s_ok;
}

hresult net_fw_authorized_applications_item(net_fw_authorized_applications* applications, bstr path,
                                            net_fw_authorized_application** application) {
  *application = nullptr;
  hresult hr = fake::enter(firewall_call::item, "Item");
  if (!fake::object_of(applications, kind::applications)) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  const std::u16string* text = fake::string_of(path);
  if (!text) return fake::e_invalidarg;
  int entry = fake::find_entry(*text);
  if (entry < 0) return fake::file_not_found;
  *application = fake::hand_out<net_fw_authorized_application>(kind::application, entry);
  return s_ok;
}

hresult net_fw_authorized_applications_add(net_fw_authorized_applications* applications,
                                           net_fw_authorized_application* application) {
  hresult hr = fake::enter(firewall_call::add, "Add");
  fake::com_object* object = fake::object_of(application, kind::application);
  if (!fake::object_of(applications, kind::applications) || !object) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  fake::authorized_application entry = fake::entry_of(*object);
  if (entry.path.empty()) return fake::e_invalidarg;  // an entry needs its executable
  fw.added.push_back(entry);
  int existing = fake::find_entry(entry.path);
  if (existing >= 0) fw.applications[static_cast<size_t>(existing)] = entry;
  else fw.applications.push_back(entry);
  return s_ok;
}

hresult net_fw_authorized_application_get_enabled(net_fw_authorized_application* application,
                                                  variant_bool* enabled) {
  hresult hr = fake::enter(firewall_call::get_enabled, "get_Enabled");
  fake::com_object* object = fake::object_of(application, kind::application);
  if (!object) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  *enabled = fake::entry_of(*object).enabled ? -1 : 0;  // VARIANT_TRUE is -1
  return s_ok;
}

// Both put_ calls change the object they are called on: a stored entry when it came from Item.
namespace {

hresult put_string(firewall_call call, const char* name, net_fw_authorized_application* application, bstr text,
                   std::u16string fake::authorized_application::*field) {
  hresult hr = fake::enter(call, name);
  fake::com_object* object = fake::object_of(application, kind::application);
  if (!object) return fake::e_pointer;
  if (!succeeded(hr)) return hr;
  const std::u16string* value = fake::string_of(text);
  if (!value) return fake::e_invalidarg;
  fake::entry_of(*object).*field = *value;
  return s_ok;
}

}  // namespace

hresult net_fw_authorized_application_put_process_image_file_name(net_fw_authorized_application* application,
                                                                  bstr path) {
  return put_string(firewall_call::put_process_image_file_name, "put_ProcessImageFileName", application, path,
                    &fake::authorized_application::path);
}

hresult net_fw_authorized_application_put_name(net_fw_authorized_application* application, bstr name) {
  return put_string(firewall_call::put_name, "put_Name", application, name, &fake::authorized_application::name);
}

void release(net_fw_mgr* manager) { fake::release_object(manager, kind::manager); }
void release(net_fw_policy* policy) { fake::release_object(policy, kind::policy); }
void release(net_fw_profile* profile) { fake::release_object(profile, kind::profile); }
void release(net_fw_authorized_applications* applications) { fake::release_object(applications, kind::applications); }
void release(net_fw_authorized_application* application) { fake::release_object(application, kind::application); }

}  // namespace plat
