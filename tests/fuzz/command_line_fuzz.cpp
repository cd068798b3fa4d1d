// A service's command line from arbitrary bytes (up to the first NUL): split into its word block, then used
// as the binary path of a service on a machine where the server is installed, to see whether discovery
// binds that service to the server file by the right rule.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/context.h"
#include "core/service_list.h"
#include "platform/command_line.h"
#include "platform/fake/fake.h"
#include "services/command_line.h"
#include "services/discovery.h"

namespace {

const char* const server_path = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe";
const char* const server_short_path = "C:\\PROGRA~1\\MORVEL~1\\QOR.UA\\MATRIX2\\QORUAM~1.EXE";
const char* const server_file = "qor.ua.matrix2.exe";

void require(bool holds, const char* broken_property) {
  if (holds) return;
  fprintf(stderr, "\nfuzz_command_line: %s\n", broken_property);
  abort();
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool only_white_space(const std::string& text) {
  for (char c : text)
    if (!strchr(" \t\r\n\v\f", c)) return false;
  return true;
}

// The five bytes Windows-1252 leaves undefined: a command line holding one does not convert at all.
bool outside_code_page(const std::string& text) {
  for (char c : text)
    if (strchr("\x81\x8d\x8f\x90\x9d", c)) return true;
  return false;
}

// The first word by the system's rule for the program name: up to the closing quotation mark when it starts
// with one (to the end if none closes it), else up to the first blank; backslashes mean nothing here.
std::string first_word(const std::string& command_line) {
  if (!command_line.empty() && command_line[0] == '"') {
    size_t close = command_line.find('"', 1);
    return command_line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  size_t end = 0;
  while (end < command_line.size() && !is_blank(command_line[end])) end++;
  return command_line.substr(0, end);
}

// ASCII letters folded, slashes as backslashes, trailing separators dropped: the differences the simulated
// machine's paths ignore.
std::string folded(std::string path) {
  for (char& c : path) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  while (path.size() > 2 && path.back() == '\\') path.pop_back();
  return path;
}

// The server's long path and its short name, each with the drive, from the root of the current drive
// ("\Program Files\...") or relative to the current folder, which is C:\ .
bool names_the_server(const std::string& word) {
  std::string form = folded(word);
  for (const char* path : {server_path, server_short_path}) {
    std::string full = folded(path);
    if (form == full || form == full.substr(2) || form == full.substr(3)) return true;
  }
  return false;
}

// The block: the word pointers, then the words packed one after the other in the same order, each ending in
// its NUL. Reading a word past the block's end is an AddressSanitizer report.
void check_word_block(char** block, uint32_t count, const std::string& command_line) {
  require(count >= 1, "a split with no words: there is always the program");
  const char* packed = reinterpret_cast<const char*>(block + count);
  for (uint32_t i = 0; i < count; i++) {
    require(block[i] == packed, "a word that is not packed right after the one before it");
    packed += strlen(block[i]) + 1;
  }
  if (!command_line.empty()) require(first_word(command_line) == block[0], "the first word is split differently");
}

void check_split(const std::string& command_line) {
  fake::reset();
  uint32_t count = 0;
  char** block = split_command_line(command_line.c_str(), &count);
  require((block == nullptr) == outside_code_page(command_line),
          "the split fails on a line that converts, or converts one that cannot");
  if (block) check_word_block(block, count, command_line);
  require(plat::local_free(block) == nullptr, "the word block does not go back with one LocalFree");
  require(fake::open_handles() == 0, "a local heap block of the split is left");
}

// A machine with the server installed, a short name for it and one running service with this command line.
bool discovery_binds(const std::string& command_line) {
  fake::reset();
  fake::add_file(server_path, "MZ");
  fake::add_path_alias(server_short_path, server_path);
  fake::add_service("Svc", command_line, 4);
  service_list list{};
  require(enumerate_bound_services(server_path, server_file, &list) == 0, "the enumeration failed");
  require(list.count <= 1, "one service recorded more than once");
  bool bound = list.count == 1;
  service_list_release(&list);
  require(fake::open_handles() == 0, "discovery left a handle or a heap block open");
  return bound;
}

void check_discovery(const std::string& command_line) {
  bool bound = discovery_binds(command_line);
  if (command_line.empty() || only_white_space(command_line)) require(!bound, "a blank command line is bound");
  bool server_word = !outside_code_page(command_line) && names_the_server(first_word(command_line));
  require(!bound || server_word, "bound, but the first word is not a form of the server's path");
  require(bound || !server_word, "the first word names the server, but the service is not bound");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string command_line(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
  check_split(command_line);
  check_discovery(command_line);
  return 0;
}
