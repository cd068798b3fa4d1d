// The simulated process table: processes by id with the path they were launched from.
#include <cstring>

#include "platform/fake/machine.h"
#include "platform/processes.h"

namespace fake {
namespace {

constexpr uint32_t error_invalid_parameter = 87;

process_record* find_process(uint32_t id) {
  for (process_record& p : machine().processes)
    if (p.id == id) return &p;
  return nullptr;
}

bool process_fault_code(const process_record& p, process_fault fault, uint32_t* code) {
  auto it = p.faults.find(fault);
  if (it == p.faults.end()) return false;
  *code = it->second;
  return true;
}

// The process behind a handle opened with the access a call needs; else the call's error is set.
process_record* process_for(plat::handle h, uint32_t needed_access) {
  if (kind_of(h) != handle_kind::process) return fail<process_record*>(nullptr, plat::error_invalid_handle);
  const process_handle_info& info = machine().process_handles[reinterpret_cast<uintptr_t>(h)];
  if ((info.access & needed_access) != needed_access) return fail<process_record*>(nullptr, plat::error_access_denied);
  process_record* p = find_process(info.id);
  // A process that has ended still answers through its handle, but it no longer has modules.
  if (!p) return fail<process_record*>(nullptr, 299);  // ERROR_PARTIAL_COPY
  return p;
}

}  // namespace

uint32_t add_process(const std::string& image_path) {
  machine_state& m = machine();
  uint32_t id = m.processes.empty() ? 4 : m.processes.back().id + 4;
  m.processes.push_back({id, image_path, {}});
  return id;
}

void fail_process(uint32_t id, process_fault fault, uint32_t code) { find_process(id)->faults[fault] = code; }

void fail_enum_processes(uint32_t code) {
  machine().enum_processes_fails = true;
  machine().enum_processes_fault = code;
}

bool process_running(uint32_t id) { return find_process(id) != nullptr; }

const std::vector<uint32_t>& enum_processes_sizes() { return machine().enum_processes_sizes; }

}  // namespace fake

namespace plat {

bool enum_processes(uint32_t* ids, uint32_t size, uint32_t* bytes_returned) {
  fake::machine_state& m = fake::machine();
  m.enum_processes_sizes.push_back(size);
  if (m.enum_processes_fails) return fake::fail(false, m.enum_processes_fault);
  uint32_t filled = 0;
  for (const fake::process_record& p : m.processes) {
    if ((filled + 1) * sizeof(uint32_t) > size) break;
    ids[filled++] = p.id;
  }
  *bytes_returned = filled * sizeof(uint32_t);
  return true;
}

handle open_process(uint32_t access, bool, uint32_t process_id) {
  fake::process_record* p = fake::find_process(process_id);
  if (!p) return fake::fail<handle>(nullptr, fake::error_invalid_parameter);
  uint32_t code = 0;
  if ((access & process_query_information) && fake::process_fault_code(*p, fake::process_fault::open_query, &code))
    return fake::fail<handle>(nullptr, code);
  if ((access & process_terminate) && fake::process_fault_code(*p, fake::process_fault::open_terminate, &code))
    return fake::fail<handle>(nullptr, code);
  handle h = fake::open_handle(fake::handle_kind::process);
  fake::machine().process_handles[reinterpret_cast<uintptr_t>(h)] = {process_id, access};
  return h;
}

uint32_t get_module_file_name_ex(handle process, char* buffer, uint32_t size) {
  fake::process_record* p = fake::process_for(process, process_query_information | process_vm_read);
  if (!p) return 0;
  uint32_t code = 0;
  if (fake::process_fault_code(*p, fake::process_fault::module_name, &code)) return fake::fail(0u, code);
  if (size == 0) return fake::fail(0u, error_insufficient_buffer);
  size_t length = p->image_path.size() < size ? p->image_path.size() : size - 1;
  memcpy(buffer, p->image_path.c_str(), length);
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

bool terminate_process(handle process, uint32_t) {
  fake::process_record* p = fake::process_for(process, process_terminate);
  if (!p) return false;
  uint32_t code = 0;
  if (fake::process_fault_code(*p, fake::process_fault::terminate, &code)) return fake::fail(false, code);
  std::vector<fake::process_record>& table = fake::machine().processes;
  table.erase(table.begin() + (p - table.data()));
  return true;
}

}  // namespace plat
