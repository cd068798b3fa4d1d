#include "core/destination.h"

#include <cstring>

#include "core/console.h"
#include "core/path.h"
#include "platform/files.h"

namespace {

const char* const destination_folders[] = {"Morvellan", "QOR.UA", "matrix2"};

// 0 when the folder was created or is there already, else the platform's code.
uint32_t create_folder(const char* path) {
  if (plat::create_directory(path)) return 0;
  uint32_t error = plat::get_last_error();
  return error == plat::error_already_exists ? 0 : error;
}

void report_folder_failure(const char* path, uint32_t error) {
  print_error("Failed to create dir \"%s\": 0x%08lx\n", path, code_arg(error));
}

}  // namespace

bool read_program_files(install_context* ctx) {
  memset(ctx->program_files, 0, sizeof ctx->program_files);
  uint32_t length = plat::get_environment_variable("ProgramFiles", ctx->program_files, sizeof ctx->program_files);
  if (length == 0) {
    uint32_t error = plat::get_last_error();
    if (error == 0) return true;  // set but empty
    print_error("Failed to get \"Program Files\": 0x%08lx\n", code_arg(error));
    return false;
  }
  // A value too long for the buffer: the read gave the size it would need and left the buffer undefined.
  if (length >= sizeof ctx->program_files) {
    ctx->program_files[0] = '\0';
    return report_internal_error();
  }
  return true;
}

bool prepare_destination(install_context* ctx) {
  char* dest = ctx->destination;
  if (!path_copy(dest, ctx->program_files)) return report_internal_error();
  size_t length = strlen(dest);
  if ((length == 0 || dest[length - 1] != '\\') && !path_append(dest, "\\")) return report_internal_error();
  for (size_t i = 0; i < sizeof destination_folders / sizeof destination_folders[0]; i++) {
    if (i > 0 && !path_append(dest, "\\")) return report_internal_error();
    if (!path_append(dest, destination_folders[i])) return report_internal_error();
    uint32_t error = create_folder(dest);
    if (error) {
      report_folder_failure(dest, error);
      return false;
    }
  }
  if (!path_append(dest, "\\")) return report_internal_error();
  print_info("Destination: %s\n", dest);
  return true;
}

bool ensure_parent_folders(const install_context* ctx, const char* relative) {
  char folder[plat::max_path];
  if (!path_copy(folder, ctx->destination)) return report_internal_error();
  const char* rest = relative;
  for (const char* slash = strchr(rest, '\\'); slash; rest = slash + 1, slash = strchr(rest, '\\')) {
    if (!path_append_n(folder, rest, static_cast<size_t>(slash - rest))) return report_internal_error();
    uint32_t error = create_folder(folder);
    if (error) {
      print_info("\n  ");
      report_folder_failure(folder, error);
      return false;
    }
    if (!path_append(folder, "\\")) return report_internal_error();
  }
  return true;
}
