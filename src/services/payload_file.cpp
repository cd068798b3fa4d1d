#include "services/payload_file.h"

#include <cstring>

#include "core/path.h"
#include "platform/files.h"

namespace {

bool ends_in_exe(const char* file_name) {
  size_t length = strlen(file_name);
  if (length < 4) return false;
  const char* tail = file_name + length - 4;
  const char* exe = ".exe";
  for (int i = 0; i < 4; i++) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != exe[i]) return false;
  }
  return true;
}

}  // namespace

payload_file_check check_payload_file(const install_context* ctx, const char* file_name, char* path) {
  if (!ends_in_exe(file_name)) return payload_file_check::skip;
  if (!path_below_destination(ctx, file_name, path)) return payload_file_check::path_too_long;
  if (!plat::path_file_exists(path)) return payload_file_check::skip;
  return payload_file_check::present;
}
