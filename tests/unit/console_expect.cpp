#include "console_expect.h"

#include "core/console.h"

namespace {

level level_of(uint16_t attributes) {
  if (attributes == console_warning_attributes) return level::warning;
  if (attributes == console_error_attributes) return level::error;
  return level::info;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '"') out += "\\\"";
    else out += c;
  }
  return out;
}

}  // namespace

std::vector<console_run> console_runs() {
  std::vector<console_run> runs;
  for (const fake::console_write& w : fake::console_writes()) {
    level lvl = level_of(w.attributes);
    if (!runs.empty() && runs.back().lvl == lvl) runs.back().text += w.text;
    else runs.push_back({lvl, w.text});
  }
  return runs;
}

void PrintTo(const console_run& run, std::ostream* os) {
  static const char* const names[] = {"info", "warning", "error"};
  *os << names[static_cast<int>(run.lvl)] << "(\"" << escaped(run.text) << "\")";
}
