#include <cstring>

#include "platform/fake/machine.h"
#include "platform/files.h"

namespace plat {

uint32_t get_environment_variable(const char* name, char* buffer, uint32_t size) {
  fake::machine_state& m = fake::machine();
  std::string key = name;
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  auto it = m.env.find(key);
  if (it == m.env.end()) return fake::fail(0u, error_envvar_not_found);
  const std::string& value = it->second;
  if (value.size() + 1 > size) return static_cast<uint32_t>(value.size() + 1);
  memcpy(buffer, value.c_str(), value.size() + 1);
  return static_cast<uint32_t>(value.size());
}

bool create_directory(const char* path) {
  fake::machine_state& m = fake::machine();
  m.created_directory_calls.push_back(path);
  std::string key = fake::normalise_path(path);
  auto fault = m.create_directory_faults.find(key);
  if (fault != m.create_directory_faults.end()) return fake::fail(false, fault->second);
  if (m.nodes.count(key)) return fake::fail(false, error_already_exists);
  if (!m.nodes.count(fake::parent_of(key))) return fake::fail(false, error_path_not_found);
  m.nodes[key] = {true, path, ""};
  return true;
}

bool path_file_exists(const char* path) { return fake::find_node(path) != nullptr; }

}  // namespace plat
