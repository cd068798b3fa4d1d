// Code-page conversion, command-line splitting and the local heap of the simulated Windows. Its ANSI code
// page is Windows-1252; the five bytes that code page leaves undefined count as invalid characters.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/fake/machine.h"

namespace fake {
namespace {

constexpr uint32_t error_not_enough_memory = 8;
constexpr uint32_t error_invalid_parameter = 87;

// What CommandLineToArgvW gives for an empty command line: the path of the running program.
const char* const own_module_path = "C:\\Users\\admin\\Downloads\\qor-installer.exe";

// Windows-1252 from 0x80 to 0x9F; 0 marks the undefined bytes.
const char16_t cp1252_high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t widen(unsigned char c) { return c >= 0x80 && c < 0xA0 ? cp1252_high[c - 0x80] : c; }

char narrow(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<char>(c);
  for (int i = 0; i < 32; i++)
    if (cp1252_high[i] == c && c != 0) return static_cast<char>(0x80 + i);
  return '?';
}

// Stores count units (or only counts them when out_size is 0): the shared rules of both conversions.
template <typename To, typename From, typename Convert>
int convert(const From* text, int length, To* out, int out_size, Convert one) {
  if (!text || length == 0 || length < -1) return fail(0, error_invalid_parameter);
  size_t count = 0;
  if (length == -1) {
    while (text[count]) count++;
    count++;  // the terminator comes along
  } else {
    count = static_cast<size_t>(length);
  }
  std::vector<To> converted;
  for (size_t i = 0; i < count; i++) {
    To unit{};
    if (!one(text[i], &unit)) return fail(0, plat::error_no_unicode_translation);
    converted.push_back(unit);
  }
  if (out_size == 0) return static_cast<int>(count);
  if (static_cast<size_t>(out_size) < count) return fail(0, plat::error_insufficient_buffer);
  memcpy(out, converted.data(), count * sizeof(To));
  return static_cast<int>(count);
}

bool blank(char16_t c) { return c == ' ' || c == '\t'; }

// The first word ends at the closing quotation mark, or at the first blank when it is not quoted.
const char16_t* program_word(const char16_t* s, std::u16string* word) {
  if (*s == '"') {
    for (s++; *s && *s != '"'; s++) word->push_back(*s);
    return *s ? s + 1 : s;
  }
  for (; *s && !blank(*s); s++) word->push_back(*s);
  return s;
}

// The other words: 2n backslashes before a quotation mark give n and the mark opens or closes a quoted
// part; 2n+1 give n and a literal mark; "" inside a quoted part is a literal mark.
const char16_t* argument_word(const char16_t* s, std::u16string* word) {
  bool quoted = false;
  while (*s && (quoted || !blank(*s))) {
    if (*s == '\\') {
      size_t n = 0;
      while (s[n] == '\\') n++;
      if (s[n] == '"') {
        word->append(n / 2, '\\');
        s += n;
        if (n % 2) word->push_back(*s++);
      } else {
        word->append(n, '\\');
        s += n;
      }
    } else if (*s == '"') {
      if (quoted && s[1] == '"') {
        word->push_back('"');
        s += 2;
      } else {
        quoted = !quoted;
        s++;
      }
    } else {
      word->push_back(*s++);
    }
  }
  return s;
}

std::vector<std::u16string> split(const char16_t* s) {
  std::vector<std::u16string> words(1);
  if (!*s) {
    for (const char* c = own_module_path; *c; c++) words[0].push_back(static_cast<char16_t>(*c));
    return words;
  }
  s = program_word(s, &words[0]);
  for (;;) {
    while (blank(*s)) s++;
    if (!*s) return words;
    words.emplace_back();
    s = argument_word(s, &words.back());
  }
}

}  // namespace

void fail_local_alloc(int nth) { machine().local_alloc_failure_countdown = nth; }

}  // namespace fake

namespace plat {

int multi_byte_to_wide_char(uint32_t, uint32_t flags, const char* text, int length, wide_char* out, int out_size) {
  return fake::convert(text, length, out, out_size, [flags](char c, wide_char* unit) {
    *unit = fake::widen(static_cast<unsigned char>(c));
    return *unit != 0 || c == 0 || !(flags & mb_err_invalid_chars);
  });
}

int wide_char_to_multi_byte(uint32_t, uint32_t, const wide_char* text, int length, char* out, int out_size) {
  return fake::convert(text, length, out, out_size, [](wide_char c, char* unit) {
    *unit = fake::narrow(c);
    return true;
  });
}

wide_char** command_line_to_argv(const wide_char* command_line, int* count) {
  if (!command_line) return fake::fail<wide_char**>(nullptr, fake::error_invalid_parameter);
  std::vector<std::u16string> words = fake::split(command_line);
  size_t size = (words.size() + 1) * sizeof(wide_char*);
  for (const std::u16string& w : words) size += (w.size() + 1) * sizeof(wide_char);
  auto** argv = static_cast<wide_char**>(local_alloc(lmem_fixed, size));
  if (!argv) return nullptr;
  auto* at = reinterpret_cast<wide_char*>(argv + words.size() + 1);
  for (size_t i = 0; i < words.size(); i++) {
    argv[i] = at;
    memcpy(at, words[i].c_str(), (words[i].size() + 1) * sizeof(wide_char));
    at += words[i].size() + 1;
  }
  argv[words.size()] = nullptr;
  *count = static_cast<int>(words.size());
  return argv;
}

void* local_alloc(uint32_t, size_t size) {
  fake::machine_state& m = fake::machine();
  if (m.local_alloc_failure_countdown > 0 && --m.local_alloc_failure_countdown == 0)
    return fake::fail<void*>(nullptr, fake::error_not_enough_memory);
  void* block = malloc(size ? size : 1);
  m.handles[reinterpret_cast<uintptr_t>(block)] = fake::handle_kind::local_memory;
  return block;
}

void* local_free(void* block) {
  if (!block) return nullptr;
  if (fake::kind_of(block) != fake::handle_kind::local_memory) return fake::fail(block, error_invalid_handle);
  fake::machine().handles.erase(reinterpret_cast<uintptr_t>(block));
  free(block);
  return nullptr;
}

}  // namespace plat
