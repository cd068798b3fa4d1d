#include "platform/fake/machine.h"

#include <algorithm>

namespace fake {
namespace {

machine_state state;

}  // namespace

// Windows compares names without regard to the case of ASCII letters; other bytes stay as they are.
std::string lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

machine_state& machine() { return state; }

std::string normalise_path(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (p.empty() || (p[0] == '\\' && (p.size() < 2 || p[1] != '\\'))) p = "C:" + p;
  else if (p.size() < 2 || p[1] != ':') p = "C:\\" + p;  // relative: the current folder is C:\ .
  while (p.size() > 2 && p.back() == '\\') p.pop_back();
  if (p.size() == 3 && p[2] == '\\') p.pop_back();
  return lower(p);
}

std::string parent_of(const std::string& normalised) {
  size_t slash = normalised.rfind('\\');
  return slash == std::string::npos ? std::string() : normalised.substr(0, slash);
}

std::string resolve_path(const std::string& path) {
  std::string key = normalise_path(path);
  // The whole path first, then each folder above it, may be another form of a stored path.
  for (size_t end = key.size(); end > 0;) {
    auto alias = state.aliases.find(key.substr(0, end));
    if (alias != state.aliases.end()) return alias->second + key.substr(end);
    size_t slash = key.rfind('\\', end - 1);
    if (slash == std::string::npos) break;
    end = slash;
  }
  return key;
}

fs_node& make_node(const std::string& key, bool is_folder, const std::string& spelling) {
  fs_node& node = state.nodes[key];
  node = {is_folder, spelling, "", state.next_file_index++};
  return node;
}

uint32_t volume_serial_of(const std::string& key) { return 0x5EA1C000u + static_cast<uint32_t>(key[0]); }

fs_node* find_node(const std::string& path) {
  auto it = state.nodes.find(resolve_path(path));
  return it == state.nodes.end() ? nullptr : &it->second;
}

void* open_handle(handle_kind kind) {
  uintptr_t id = state.next_handle;
  state.next_handle += 4;
  state.handles[id] = kind;
  return reinterpret_cast<void*>(id);
}

handle_kind kind_of(void* handle) {
  auto it = state.handles.find(reinterpret_cast<uintptr_t>(handle));
  return it == state.handles.end() ? handle_kind::none : it->second;
}

bool close_handle(void* handle, handle_kind kind) {
  auto it = state.handles.find(reinterpret_cast<uintptr_t>(handle));
  if (it == state.handles.end() || it->second != kind) return fail(false, plat::error_invalid_handle);
  state.handles.erase(it);
  return true;
}

void reset() {
  state = machine_state{};
  reset_firewall();  // the simulated COM and firewall keep their state apart
  state.stdout_is_console = true;
  state.console_attributes = 0x07;
  state.next_file_index = 0x10000;
  make_node("c:", true, "C:");
  add_folder("C:\\Program Files");
  add_folder("C:\\Windows\\System32");
  set_env("ProgramFiles", "C:\\Program Files");
  set_file_version("ntdll.dll", 6, 1, 7601, 24059);
  state.tick = 100000;
  state.time = {2026, 4, 4, 16, 10, 20, 30, 0};
  state.next_handle = 0x1000;
  add_default_resources();
}

// ---- console --------------------------------------------------------------------------------------------

void set_console(bool is_console, uint16_t attributes) {
  state.stdout_is_console = is_console;
  state.console_attributes = attributes;
}

void fail_console_info(bool fail) { state.console_info_fails = fail; }

const std::vector<console_write>& console_writes() { return state.console; }

std::string console_text() {
  std::string text;
  for (const console_write& w : state.console) text += w.text;
  return text;
}

uint16_t console_attributes() { return state.console_attributes; }

int console_attribute_changes() { return state.console_attribute_changes; }

// ---- environment ----------------------------------------------------------------------------------------

void set_env(const std::string& name, const std::string& value) { state.env[upper(name)] = value; }

void unset_env(const std::string& name) { state.env.erase(upper(name)); }

// ---- files and folders ----------------------------------------------------------------------------------

// The path with its last component removed, in the caller's spelling.
static std::string spelling_parent(const std::string& path) {
  size_t end = path.find_last_not_of("\\/");
  if (end == std::string::npos) return std::string();
  size_t slash = path.find_last_of("\\/", end);
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void add_folder(const std::string& path) {
  std::string key = resolve_path(path);
  if (state.nodes.count(key)) return;
  std::string parent = parent_of(key);
  if (parent.empty()) {
    make_node(key, true, path);  // a drive's root
    return;
  }
  if (!state.nodes.count(parent)) add_folder(spelling_parent(path));
  make_node(key, true, path);
}

void add_file(const std::string& path, const std::string& data) {
  std::string key = resolve_path(path);
  if (!state.nodes.count(parent_of(key))) add_folder(spelling_parent(path));
  make_node(key, false, path).data = data;
}

void add_path_alias(const std::string& alias, const std::string& path) {
  state.aliases[normalise_path(alias)] = resolve_path(path);
}

bool folder_exists(const std::string& path) {
  fs_node* node = find_node(path);
  return node && node->is_folder;
}

bool file_exists(const std::string& path) {
  fs_node* node = find_node(path);
  return node && !node->is_folder;
}

std::string file_data(const std::string& path) {
  fs_node* node = find_node(path);
  return node && !node->is_folder ? node->data : std::string();
}

std::vector<std::string> list_below(const std::string& path) {
  std::string prefix = normalise_path(path) + "\\";
  std::vector<std::string> found;
  for (const auto& [key, node] : state.nodes)
    if (key.compare(0, prefix.size(), prefix) == 0) found.push_back(node.spelling);
  return found;
}

void fail_create_directory(const std::string& path, uint32_t code) {
  state.create_directory_faults[normalise_path(path)] = code;
}

const std::vector<std::string>& created_directory_calls() { return state.created_directory_calls; }

// ---- file version information ---------------------------------------------------------------------------

void set_file_version(const std::string& file, uint16_t major, uint16_t minor, uint16_t build,
                      uint16_t revision) {
  plat::fixed_file_info info{};
  info.signature = 0xFEEF04BD;
  info.struc_version = 0x00010000;
  info.file_version_ms = (uint32_t{major} << 16) | minor;
  info.file_version_ls = (uint32_t{build} << 16) | revision;
  info.product_version_ms = info.file_version_ms;
  info.product_version_ls = info.file_version_ls;
  state.versions[lower(file)] = info;
}

void remove_file_version(const std::string& file) { state.versions.erase(lower(file)); }

void fail_version(version_fault fault) { state.version_failure = fault; }

// ---- clock ----------------------------------------------------------------------------------------------

void set_tick_count(uint32_t milliseconds) { state.tick = milliseconds; }

uint32_t tick_count() { return state.tick; }

const std::vector<uint32_t>& sleeps() { return state.sleeps; }

void set_system_time(const plat::system_time& now) { state.time = now; }

// ---- handles --------------------------------------------------------------------------------------------

int open_handles() { return static_cast<int>(state.handles.size()); }

int open_files() { return static_cast<int>(state.open_files.size()); }

}  // namespace fake
