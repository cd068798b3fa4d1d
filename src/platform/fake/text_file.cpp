// The C runtime's file streams on the simulated Windows. A stream is a file handle of create_file, so the
// sharing rules, folders in the way and missing parents behave as for any file; what the runtime adds is
// the text-mode translation, done here the way the Windows runtime does it: every "\n" is stored as
// "\r\n" and nothing else changes (so "\r\n" in the text would reach the file as "\r\r\n").
#include <cstring>

#include "platform/fake/machine.h"
#include "platform/files.h"
#include "platform/text_file.h"

namespace plat {
namespace {

// What the Windows runtime's fopen asks CreateFileA for besides write access: shared reading and writing.
constexpr uint32_t runtime_share_mode = file_share_read | 0x00000002;
// ERROR_INVALID_PARAMETER, for a mode the simulated runtime does not know.
constexpr uint32_t error_invalid_parameter = 87;

// What the file may still take before it hits its scripted size limit.
size_t room_left(const fake::open_stream& s) {
  fake::machine_state& m = fake::machine();
  auto limit = m.stream_size_limits.find(s.key);
  if (limit == m.stream_size_limits.end()) return SIZE_MAX;
  size_t size = m.nodes[s.key].data.size();
  return limit->second > size ? limit->second - size : 0;
}

// The bytes the file receives for `length` bytes of the caller's text, cut where the room runs out; the
// number of the caller's bytes that went in whole is left in *taken.
std::string translate(const fake::open_stream& s, const char* text, size_t length, size_t* taken) {
  size_t room = room_left(s);
  std::string out;
  size_t i = 0;
  for (; i < length; i++) {
    size_t need = s.text && text[i] == '\n' ? 2 : 1;
    if (out.size() + need > room) break;
    if (need == 2) out += '\r';
    out += text[i];
  }
  *taken = i;
  return out;
}

}  // namespace

stream stream_open(const char* path, const char* mode) {
  fake::machine_state& m = fake::machine();
  std::string key = fake::resolve_path(path);
  // The installer only ever creates files: "w" and "wb" are all this runtime knows.
  if (mode[0] != 'w') return fake::fail(static_cast<stream>(nullptr), error_invalid_parameter);
  auto fault = m.stream_open_faults.find(key);
  if (fault != m.stream_open_faults.end()) return fake::fail(static_cast<stream>(nullptr), fault->second);
  handle file = create_file(path, generic_write, runtime_share_mode, create_always,
                            file_attribute_normal);
  if (file == invalid_handle_value) return nullptr;
  m.streams[reinterpret_cast<uintptr_t>(file)] = {key, strchr(mode, 'b') == nullptr,
                                                   m.stream_flush_faults.count(key) > 0};
  return file;
}

size_t stream_write(const void* data, size_t size, size_t count, stream file) {
  fake::machine_state& m = fake::machine();
  auto it = m.streams.find(reinterpret_cast<uintptr_t>(file));
  if (it == m.streams.end() || size == 0) return 0;
  if (it->second.flush_fails) return count;  // all of it into a buffer that never reaches the file
  size_t taken = 0;
  std::string out = translate(it->second, static_cast<const char*>(data), size * count, &taken);
  uint32_t written = 0;
  if (!out.empty() && !write_file(file, out.data(), static_cast<uint32_t>(out.size()), &written)) return 0;
  return taken / size;
}

int stream_flush(stream file) {
  auto it = fake::machine().streams.find(reinterpret_cast<uintptr_t>(file));
  return it == fake::machine().streams.end() || it->second.flush_fails ? -1 : 0;
}

int stream_close(stream file) {
  fake::machine_state& m = fake::machine();
  auto it = m.streams.find(reinterpret_cast<uintptr_t>(file));
  if (it == m.streams.end()) return -1;
  bool flush_fails = it->second.flush_fails;
  m.streams.erase(it);
  bool closed = close_handle(file);
  return closed && !flush_fails ? 0 : -1;  // EOF, as fclose reports a buffer it could not write out
}

}  // namespace plat

namespace fake {

void fail_stream_open(const std::string& path, uint32_t code) { machine().stream_open_faults[resolve_path(path)] = code; }

void fail_stream_flush(const std::string& path) { machine().stream_flush_faults.insert(resolve_path(path)); }

void limit_stream_file_size(const std::string& path, size_t bytes) {
  machine().stream_size_limits[resolve_path(path)] = bytes;
}

}  // namespace fake
