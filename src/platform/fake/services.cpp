// The simulated service manager: a database of services whose states move over virtual time by script, and
// an enumeration that packs its entries and strings into the caller's buffer as the real one does, so that
// batch sizes are realistic.
#include <cstdio>
#include <cstring>

#include "platform/fake/machine.h"
#include "platform/services.h"

namespace fake {
namespace {

bool same_name(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

service_record* find_service(const std::string& name) {
  for (service_record& s : machine().services)
    if (same_name(s.name, name)) return &s;
  return nullptr;
}

std::string hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

void log_call(const std::string& line) { machine().service_calls.push_back(line); }

// The pending states reach their end when their scripted time has passed.
void settle(service_record& s) {
  uint32_t elapsed = machine().tick - s.transition_started;
  if (s.state == 3 && s.stops_after != never && elapsed >= s.stops_after) {
    s.state = 1;
    s.wait_hint = 0;
  } else if (s.state == 2 && s.settles_after != never && elapsed >= s.settles_after) {
    s.state = s.settled_state;
    s.check_point = 0;
    s.wait_hint = 0;
  } else if (s.state == 2 && s.check_point_every != 0) {
    s.check_point = elapsed / s.check_point_every;
  }
}

void status_of(const service_record& s, plat::service_status* status) {
  *status = {s.type, s.state, s.state == 4 ? 1u : 0u, 0, 0, s.check_point, s.wait_hint};
}

bool manager_fault(service_call call, uint32_t* code) {
  auto it = machine().manager_faults.find(call);
  if (it == machine().manager_faults.end()) return false;
  *code = it->second;
  return true;
}

bool service_fault(const service_record& s, service_call call, uint32_t* code) {
  auto it = s.faults.find(call);
  if (it == s.faults.end()) return false;
  *code = it->second;
  return true;
}

// The handle's record, if it is a manager handle (want_manager) or a service handle.
service_handle_info* handle_info(plat::handle h, bool want_manager) {
  handle_kind kind = kind_of(h);
  if (kind != (want_manager ? handle_kind::service_manager : handle_kind::service)) return nullptr;
  return &machine().service_handles[reinterpret_cast<uintptr_t>(h)];
}

// The service behind a service handle that has the access the call needs; else the call's error is set.
service_record* service_for(plat::handle h, uint32_t needed_access, service_call call) {
  service_handle_info* info = handle_info(h, false);
  if (!info) return fail<service_record*>(nullptr, plat::error_invalid_handle);
  service_record* s = find_service(info->service_name);
  if (!s) return fail<service_record*>(nullptr, 1072);  // ERROR_SERVICE_MARKED_FOR_DELETE
  if ((info->access & needed_access) != needed_access) return fail<service_record*>(nullptr, plat::error_access_denied);
  uint32_t code = 0;
  if (service_fault(*s, call, &code)) return fail<service_record*>(nullptr, code);
  settle(*s);
  return s;
}

plat::handle open_service_handle(handle_kind kind, const std::string& service_name, uint32_t access) {
  plat::handle h = open_handle(kind);
  machine().service_handles[reinterpret_cast<uintptr_t>(h)] = {service_name, access};
  return h;
}

}  // namespace

// ---- scripting ------------------------------------------------------------------------------------------

void add_service(const std::string& name, const std::string& binary_path, uint32_t state,
                 const std::string& display_name) {
  service_record s{};
  s.name = name;
  s.display_name = display_name.empty() ? name : display_name;
  s.binary_path = binary_path;
  s.type = plat::service_win32_own_process;
  s.start_type = 3;  // SERVICE_DEMAND_START
  s.error_control = plat::service_error_normal;
  s.state = state;
  s.settled_state = 4;
  machine().services.push_back(s);
}

void script_stop(const std::string& name, uint32_t wait_hint, uint32_t stops_after) {
  service_record* s = find_service(name);
  s->stop_wait_hint = wait_hint;
  s->stops_after = stops_after;
}

void script_start(const std::string& name, uint32_t wait_hint, uint32_t settles_after, uint32_t settled_state,
                  uint32_t check_point_every) {
  service_record* s = find_service(name);
  s->start_wait_hint = wait_hint;
  s->settles_after = settles_after;
  s->settled_state = settled_state;
  s->check_point_every = check_point_every;
}

void fail_service_call(service_call call, uint32_t code, const std::string& name) {
  if (call == service_call::open_manager || call == service_call::enum_services || call == service_call::create ||
      call == service_call::describe)
    machine().manager_faults[call] = code;
  else
    find_service(name)->faults[call] = code;
}

void enum_services_like_wine(bool on) { machine().enum_services_like_wine = on; }

void fail_enum_services_after(int calls, uint32_t code) {
  machine().enum_services_fail_after = calls;
  machine().enum_services_fail_code = code;
}

service_view service(const std::string& name) {
  service_record* s = find_service(name);
  if (!s) return service_view{};
  settle(*s);
  return {true, s->display_name, s->binary_path, s->description, s->account, s->type, s->start_type,
          s->error_control, s->state};
}

const std::vector<std::string>& service_calls() { return machine().service_calls; }

}  // namespace fake

namespace plat {

handle open_sc_manager(uint32_t access) {
  fake::log_call("OpenSCManagerW(" + fake::hex(access) + ")");
  uint32_t code = 0;
  if (fake::manager_fault(fake::service_call::open_manager, &code)) return fake::fail<handle>(nullptr, code);
  return fake::open_service_handle(fake::handle_kind::service_manager, "", access);
}

namespace {

// Strings go to the end of the buffer, growing down; entries to its start, growing up.
char* pack_string(char* buffer, uint32_t* string_end, const std::string& text) {
  *string_end -= static_cast<uint32_t>(text.size() + 1);
  memcpy(buffer + *string_end, text.c_str(), text.size() + 1);
  return buffer + *string_end;
}

uint32_t entry_size(const fake::service_record& s) {
  return static_cast<uint32_t>(sizeof(enum_service_status) + s.name.size() + 1 + s.display_name.size() + 1);
}

bool listed(const fake::service_record& s, uint32_t service_type, uint32_t service_state) {
  bool active = s.state != 1;
  return (s.type & service_type) && ((active && (service_state & 1)) || (!active && (service_state & 2)));
}

}  // namespace

bool enum_services_status(handle manager, uint32_t service_type, uint32_t service_state, void* buffer,
                          uint32_t size, uint32_t* bytes_needed, uint32_t* count, uint32_t* resume_handle) {
  fake::machine_state& m = fake::machine();
  fake::log_call("EnumServicesStatusA(" + std::to_string(*resume_handle) + ")");
  fake::service_handle_info* info = fake::handle_info(manager, true);
  if (!info) return fake::fail(false, error_invalid_handle);
  if (!(info->access & sc_manager_enumerate_service)) return fake::fail(false, error_access_denied);
  uint32_t code = 0;
  if (fake::manager_fault(fake::service_call::enum_services, &code)) return fake::fail(false, code);
  if (m.enum_services_fail_after >= 0 && m.enum_services_calls++ >= m.enum_services_fail_after)
    return fake::fail(false, m.enum_services_fail_code);
  *count = 0;
  *bytes_needed = 0;
  // Wine fills its own buffer and copies it to the caller's only when every service fitted.
  std::string caller_buffer = m.enum_services_like_wine ? std::string(static_cast<char*>(buffer), size) : "";
  auto* entries = static_cast<enum_service_status*>(buffer);
  uint32_t used = 0, string_end = size;
  size_t next = *resume_handle;
  for (; next < m.services.size(); next++) {
    fake::service_record& s = m.services[next];
    fake::settle(s);
    if (!listed(s, service_type, service_state)) continue;
    if (used + entry_size(s) > string_end) break;
    enum_service_status& e = entries[(*count)++];
    e.service_name = pack_string(static_cast<char*>(buffer), &string_end, s.name);
    e.display_name = pack_string(static_cast<char*>(buffer), &string_end, s.display_name);
    fake::status_of(s, &e.status);
    used += sizeof(enum_service_status);
  }
  if (next == m.services.size()) {
    *resume_handle = 0;
    return true;
  }
  for (size_t rest = next; rest < m.services.size(); rest++)
    if (listed(m.services[rest], service_type, service_state)) *bytes_needed += entry_size(m.services[rest]);
  if (m.enum_services_like_wine) {
    memcpy(buffer, caller_buffer.data(), size);
    return fake::fail(false, error_more_data);
  }
  *resume_handle = static_cast<uint32_t>(next);
  return fake::fail(false, error_more_data);
}

handle open_service(handle manager, const char* service_name, uint32_t access) {
  fake::log_call(std::string("OpenServiceA(") + service_name + ", " + fake::hex(access) + ")");
  if (!fake::handle_info(manager, true)) return fake::fail<handle>(nullptr, error_invalid_handle);
  fake::service_record* s = fake::find_service(service_name);
  if (!s) return fake::fail<handle>(nullptr, error_service_does_not_exist);
  uint32_t code = 0;
  if (fake::service_fault(*s, fake::service_call::open_service, &code)) return fake::fail<handle>(nullptr, code);
  return fake::open_service_handle(fake::handle_kind::service, s->name, access);
}

bool query_service_config(handle service, void* buffer, uint32_t size, uint32_t* bytes_needed) {
  fake::log_call("QueryServiceConfigA(" + std::to_string(size) + ")");
  fake::service_record* s = fake::service_for(service, service_query_config, fake::service_call::query_config);
  if (!s) return false;
  std::string account = s->account.empty() ? "LocalSystem" : s->account;
  std::string strings[] = {s->binary_path, "", "", account, s->display_name};
  uint32_t needed = sizeof(service_config);
  for (const std::string& text : strings) needed += static_cast<uint32_t>(text.size() + 1);
  needed += 1;  // the dependencies are a list that ends with an empty string
  *bytes_needed = needed;
  if (size < needed) return fake::fail(false, error_insufficient_buffer);
  auto* config = static_cast<service_config*>(buffer);
  char* at = static_cast<char*>(buffer) + sizeof(service_config);
  auto put = [&at](const std::string& text) {
    memcpy(at, text.c_str(), text.size() + 1);
    char* start = at;
    at += text.size() + 1;
    return start;
  };
  *config = {s->type, s->start_type, s->error_control, nullptr, nullptr, 0, nullptr, nullptr, nullptr};
  config->binary_path_name = put(strings[0]);
  config->load_order_group = put(strings[1]);
  config->dependencies = put(strings[2]);
  *at++ = '\0';
  config->service_start_name = put(strings[3]);
  config->display_name = put(strings[4]);
  return true;
}

bool control_service(handle service, uint32_t control, service_status* status) {
  fake::service_handle_info* info = fake::handle_info(service, false);
  fake::log_call("ControlService(" + (info ? info->service_name : std::string("?")) + ", " + std::to_string(control) + ")");
  fake::service_record* s = fake::service_for(service, service_stop, fake::service_call::control);
  if (!s) return false;
  if (s->state == 1) return fake::fail(false, error_service_not_active);
  if (s->stops_after == 0) {
    s->state = 1;
    s->wait_hint = 0;
  } else {
    s->state = 3;
    s->wait_hint = s->stop_wait_hint;
    s->check_point = 0;
    s->transition_started = fake::machine().tick;
  }
  fake::status_of(*s, status);
  return true;
}

bool query_service_status(handle service, service_status* status) {
  fake::service_handle_info* info = fake::handle_info(service, false);
  fake::log_call("QueryServiceStatus(" + (info ? info->service_name : std::string("?")) + ")");
  // A query takes a millisecond, so a caller that polls without sleeping still sees time pass.
  fake::machine().tick += 1;
  fake::service_record* s = fake::service_for(service, service_query_status, fake::service_call::query_status);
  if (!s) return false;
  fake::status_of(*s, status);
  return true;
}

bool start_service(handle service) {
  fake::service_handle_info* info = fake::handle_info(service, false);
  fake::log_call("StartServiceW(" + (info ? info->service_name : std::string("?")) + ")");
  fake::service_record* s = fake::service_for(service, service_start, fake::service_call::start);
  if (!s) return false;
  if (s->state != 1) return fake::fail(false, error_service_already_running);
  s->state = 2;
  s->wait_hint = s->start_wait_hint;
  s->check_point = 0;
  s->transition_started = fake::machine().tick;
  fake::settle(*s);
  return true;
}

handle create_service(handle manager, const char* service_name, const char* display_name, uint32_t access,
                      uint32_t service_type, uint32_t start_type, uint32_t error_control,
                      const char* binary_path_name) {
  fake::log_call(std::string("CreateServiceA(") + service_name + ", " + fake::hex(access) + ")");
  fake::service_handle_info* info = fake::handle_info(manager, true);
  if (!info) return fake::fail<handle>(nullptr, error_invalid_handle);
  if (!(info->access & sc_manager_create_service)) return fake::fail<handle>(nullptr, error_access_denied);
  uint32_t code = 0;
  if (fake::manager_fault(fake::service_call::create, &code)) return fake::fail<handle>(nullptr, code);
  if (fake::find_service(service_name)) return fake::fail<handle>(nullptr, error_service_exists);
  fake::add_service(service_name, binary_path_name, 1, display_name);
  fake::service_record& s = fake::machine().services.back();
  s.type = service_type;
  s.start_type = start_type;
  s.error_control = error_control;
  return fake::open_service_handle(fake::handle_kind::service, s.name, access);
}

bool change_service_description(handle service, const char* description) {
  fake::log_call(std::string("ChangeServiceConfig2A(") + description + ")");
  fake::service_record* s = fake::service_for(service, 0x0002, fake::service_call::describe);  // SERVICE_CHANGE_CONFIG
  if (!s) return false;
  uint32_t code = 0;
  if (fake::manager_fault(fake::service_call::describe, &code)) return fake::fail(false, code);
  s->description = description;
  return true;
}

bool close_service_handle(handle object) {
  fake::handle_kind kind = fake::kind_of(object);
  if (kind != fake::handle_kind::service_manager && kind != fake::handle_kind::service)
    return fake::fail(false, error_invalid_handle);
  fake::service_handle_info* info = fake::handle_info(object, kind == fake::handle_kind::service_manager);
  fake::log_call("CloseServiceHandle(" + (info->service_name.empty() ? std::string("manager") : info->service_name) + ")");
  return fake::close_handle(object, kind);
}

}  // namespace plat
