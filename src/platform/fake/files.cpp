#include <cstring>

#include "platform/fake/machine.h"
#include "platform/files.h"

namespace plat {

uint32_t get_environment_variable(const char* name, char* buffer, uint32_t size) {
  fake::machine_state& m = fake::machine();
  auto it = m.env.find(fake::upper(name));
  if (it == m.env.end()) return fake::fail(0u, error_envvar_not_found);
  const std::string& value = it->second;
  if (value.size() + 1 > size) return static_cast<uint32_t>(value.size() + 1);
  memcpy(buffer, value.c_str(), value.size() + 1);
  return static_cast<uint32_t>(value.size());
}

bool create_directory(const char* path) {
  fake::machine_state& m = fake::machine();
  m.created_directory_calls.push_back(path);
  std::string key = fake::resolve_path(path);
  auto fault = m.create_directory_faults.find(key);
  if (fault != m.create_directory_faults.end()) return fake::fail(false, fault->second);
  if (m.nodes.count(key)) return fake::fail(false, error_already_exists);
  if (!m.nodes.count(fake::parent_of(key))) return fake::fail(false, error_path_not_found);
  fake::make_node(key, true, path);
  return true;
}

bool path_file_exists(const char* path) { return fake::find_node(path) != nullptr; }

// ---- files ----------------------------------------------------------------------------------------------

namespace {

// Whether an open by (access, share_mode) can coexist with an open already there, by Windows' rules: each
// side must share what the other one asks for.
bool compatible(const fake::open_file& held, uint32_t access, uint32_t share_mode) {
  auto shares = [](uint32_t share, uint32_t wanted) {
    return (!(wanted & generic_read) || (share & file_share_read)) && (!(wanted & generic_write) || (share & 2));
  };
  return shares(held.share_mode, access) && shares(share_mode, held.access);
}

bool sharing_allows(const std::string& key, uint32_t access, uint32_t share_mode) {
  for (const auto& [id, held] : fake::machine().open_files)
    if (held.key == key && !compatible(held, access, share_mode)) return false;
  return true;
}

}  // namespace

handle create_file(const char* path, uint32_t access, uint32_t share_mode, uint32_t disposition, uint32_t) {
  fake::machine_state& m = fake::machine();
  std::string key = fake::resolve_path(path);
  if (uint32_t fault = fake::take_create_file_fault(key)) return fake::fail(invalid_handle_value, fault);
  auto it = m.nodes.find(key);
  if (disposition == open_existing && it == m.nodes.end())
    return fake::fail(invalid_handle_value, m.nodes.count(fake::parent_of(key)) ? error_file_not_found : error_path_not_found);
  if (it != m.nodes.end() && it->second.is_folder) return fake::fail(invalid_handle_value, error_access_denied);
  if (disposition == create_always && it == m.nodes.end() && !m.nodes.count(fake::parent_of(key)))
    return fake::fail(invalid_handle_value, error_path_not_found);
  if (!sharing_allows(key, access, share_mode)) return fake::fail(invalid_handle_value, error_sharing_violation);
  if (disposition == create_always) {
    if (it == m.nodes.end()) fake::make_node(key, false, path);
    else it->second.data.clear();
  }
  handle file = fake::open_handle(fake::handle_kind::file);
  m.open_files[reinterpret_cast<uintptr_t>(file)] = {key, access, share_mode};
  return file;
}

bool write_file(handle file, const void* data, uint32_t length, uint32_t* written) {
  fake::machine_state& m = fake::machine();
  *written = 0;
  auto it = m.open_files.find(reinterpret_cast<uintptr_t>(file));
  if (it == m.open_files.end()) return fake::fail(false, error_invalid_handle);
  if (!(it->second.access & generic_write)) return fake::fail(false, error_access_denied);
  uint32_t take = 0;
  if (uint32_t fault = fake::record_write(it->second.key, m.nodes[it->second.key].data.size(), length, &take))
    return fake::fail(false, fault);
  m.nodes[it->second.key].data.append(static_cast<const char*>(data), take);
  *written = take;
  return true;
}

bool close_handle(handle object) {
  fake::machine_state& m = fake::machine();
  fake::handle_kind kind = fake::kind_of(object);
  if (kind == fake::handle_kind::none) return fake::fail(false, error_invalid_handle);
  m.open_files.erase(reinterpret_cast<uintptr_t>(object));
  return fake::close_handle(object, kind);
}

bool get_file_information_by_handle(handle file, file_identity* identity) {
  fake::machine_state& m = fake::machine();
  auto it = m.open_files.find(reinterpret_cast<uintptr_t>(file));
  if (it == m.open_files.end()) return fake::fail(false, error_invalid_handle);
  uint64_t index = m.nodes[it->second.key].index;
  *identity = {fake::volume_serial_of(it->second.key), static_cast<uint32_t>(index >> 32),
               static_cast<uint32_t>(index)};
  return true;
}

}  // namespace plat
