#include "services/command_line.h"

#include "platform/command_line.h"

namespace {

// The command line in UTF-16, in a local heap block of its own; null when it does not convert.
plat::wide_char* widen(const char* text) {
  int length = plat::multi_byte_to_wide_char(plat::cp_acp, plat::mb_err_invalid_chars, text, -1, nullptr, 0);
  if (length == 0) return nullptr;
  auto* wide = static_cast<plat::wide_char*>(plat::local_alloc(plat::lmem_fixed, length * sizeof(plat::wide_char)));
  if (!wide) return nullptr;
  if (plat::multi_byte_to_wide_char(plat::cp_acp, plat::mb_err_invalid_chars, text, -1, wide, length) == 0) {
    plat::local_free(wide);
    return nullptr;
  }
  return wide;
}

int narrow_length(const plat::wide_char* word) {
  return plat::wide_char_to_multi_byte(plat::cp_acp, 0, word, -1, nullptr, 0);
}

// The word block for the UTF-16 words; null when a word does not convert or the block cannot be had.
char** pack_words(plat::wide_char** words, int count) {
  size_t size = static_cast<size_t>(count) * sizeof(char*);
  for (int i = 0; i < count; i++) {
    int length = narrow_length(words[i]);
    if (length == 0) return nullptr;
    size += static_cast<size_t>(length);
  }
  auto** block = static_cast<char**>(plat::local_alloc(plat::lmem_fixed, size));
  if (!block) return nullptr;
  char* at = reinterpret_cast<char*>(block + count);
  for (int i = 0; i < count; i++) {
    int length = narrow_length(words[i]);
    if (length == 0 || plat::wide_char_to_multi_byte(plat::cp_acp, 0, words[i], -1, at, length) == 0) {
      plat::local_free(block);
      return nullptr;
    }
    block[i] = at;
    at += length;
  }
  return block;
}

}  // namespace

char** split_command_line(const char* command_line, uint32_t* word_count) {
  plat::wide_char* wide = widen(command_line);
  if (!wide) return nullptr;
  int count = 0;
  plat::wide_char** words = plat::command_line_to_argv(wide, &count);
  plat::local_free(wide);
  if (!words) return nullptr;
  char** block = pack_words(words, count);
  plat::local_free(words);
  if (block) *word_count = static_cast<uint32_t>(count);
  return block;
}
