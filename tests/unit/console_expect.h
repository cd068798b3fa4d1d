// Console output as the tests compare it: the exact text, cut into runs of one colour level.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/fake/fake.h"

enum class level { info, warning, error };

struct console_run {
  level lvl;
  std::string text;
  bool operator==(const console_run&) const = default;
};

inline console_run info(std::string text) { return {level::info, std::move(text)}; }
inline console_run warning(std::string text) { return {level::warning, std::move(text)}; }
inline console_run error(std::string text) { return {level::error, std::move(text)}; }

// What the simulated console shows, as runs of one level: adjacent writes of the same level are joined.
// Text written in the console's own attributes counts as info.
std::vector<console_run> console_runs();

void PrintTo(const console_run& run, std::ostream* os);
