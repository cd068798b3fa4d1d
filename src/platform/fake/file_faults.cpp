// Scripted faults of file creation and writing: a file locked for a number of attempts or for ever, access
// refused, a disk that fills up part way through a file (with a failed write, or with a short one).
#include "platform/fake/machine.h"

namespace fake {

void fail_create_file(const std::string& path, uint32_t code, int times) {
  machine().create_file_faults[resolve_path(path)] = {code, times};
}

void fail_write_after(const std::string& path, uint64_t limit, uint32_t code) {
  machine().write_faults[resolve_path(path)] = {limit, code, false};
}

void fill_disk_after(const std::string& path, uint64_t limit) {
  machine().write_faults[resolve_path(path)] = {limit, plat::error_disk_full, true};
}

int create_file_calls(const std::string& path) {
  auto it = machine().create_file_calls.find(resolve_path(path));
  return it == machine().create_file_calls.end() ? 0 : it->second;
}

std::vector<uint32_t> write_calls(const std::string& path) {
  auto it = machine().write_calls.find(resolve_path(path));
  return it == machine().write_calls.end() ? std::vector<uint32_t>{} : it->second;
}

uint32_t take_create_file_fault(const std::string& key) {
  machine_state& m = machine();
  ++m.create_file_calls[key];
  auto it = m.create_file_faults.find(key);
  if (it == m.create_file_faults.end() || it->second.second == 0) return 0;
  if (it->second.second > 0) --it->second.second;
  return it->second.first;
}

uint32_t record_write(const std::string& key, uint64_t size_now, uint32_t length, uint32_t* take) {
  machine().write_calls[key].push_back(length);
  *take = length;
  auto it = machine().write_faults.find(key);
  if (it == machine().write_faults.end() || size_now + length <= it->second.limit) return 0;
  const write_fault& fault = it->second;
  *take = fault.short_write && size_now < fault.limit ? static_cast<uint32_t>(fault.limit - size_now) : 0;
  return *take ? 0 : fault.code;
}

}  // namespace fake
