// Standard output of the simulated Windows: text collects in the stream buffer and reaches the screen, in
// the attribute in force at that moment, when the stream is flushed.
#include "platform/console.h"
#include "platform/fake/machine.h"

namespace plat {
namespace {

// The one standard output handle of the simulated process.
handle const stdout_handle = reinterpret_cast<handle>(uintptr_t{0x54});

bool is_console(handle h) { return h == stdout_handle && fake::machine().stdout_is_console; }

}  // namespace

handle get_std_output_handle() { return stdout_handle; }

bool get_console_text_attribute(handle console, uint16_t* attributes) {
  fake::machine_state& m = fake::machine();
  if (!is_console(console) || m.console_info_fails) return fake::fail(false, error_invalid_handle);
  *attributes = m.console_attributes;
  return true;
}

bool set_console_text_attribute(handle console, uint16_t attributes) {
  fake::machine_state& m = fake::machine();
  if (!is_console(console)) return fake::fail(false, error_invalid_handle);
  m.console_attributes = attributes;
  m.console_attribute_changes++;
  return true;
}

void stdout_write(const char* text, size_t length) { fake::machine().stdout_buffer.append(text, length); }

void stdout_flush() {
  fake::machine_state& m = fake::machine();
  if (m.stdout_buffer.empty()) return;
  uint16_t attributes = m.stdout_is_console ? m.console_attributes : 0;
  if (!m.console.empty() && m.console.back().attributes == attributes)
    m.console.back().text += m.stdout_buffer;
  else
    m.console.push_back({attributes, m.stdout_buffer});
  m.stdout_buffer.clear();
}

}  // namespace plat
