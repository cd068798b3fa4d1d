// The host's release comes from the version stored in ntdll.dll's version resource, not the version the
// system reports to programs (which compatibility shims can change).
#include "core/host_os.h"

#include <cstdlib>

#include "core/console.h"
#include "platform/version.h"

namespace {

// Fills the four numbers from the file's fixed file information; leaves them as they are on any failure.
void read_ntdll_version(install_context* ctx) {
  uint32_t handle = 0;
  uint32_t size = plat::get_file_version_info_size("ntdll.dll", &handle);
  if (size == 0) return;
  void* block = malloc(size);
  if (!block) return;
  const void* value = nullptr;
  uint32_t length = 0;
  if (plat::get_file_version_info("ntdll.dll", handle, size, block) &&
      plat::ver_query_value(block, "\\", &value, &length)) {
    const auto* info = static_cast<const plat::fixed_file_info*>(value);
    ctx->os_major = info->file_version_ms >> 16;
    ctx->os_minor = info->file_version_ms & 0xFFFF;
    ctx->os_build = info->file_version_ls >> 16;
    ctx->os_revision = info->file_version_ls & 0xFFFF;
  }
  free(block);
}

}  // namespace

// 5.0 is Windows 2000, 5.1.2600 Windows XP (Service Pack 3 from revision 5512), 5.2 and 6.0 (Vista) take the
// XP SP3 runtime; 6.1 (Windows 7) and later the current one.
uint32_t runtime_flavour_of(uint32_t major, uint32_t minor, uint32_t build, uint32_t revision) {
  if (major < 5) return flavour_nt4;
  if (major == 5 && minor == 0) return flavour_w2k;
  if (major == 5 && minor == 1) {
    if (build < 2600 || (build == 2600 && revision < 5512)) return flavour_w2k;
    return flavour_xpsp3;
  }
  if (major == 5) return flavour_xpsp3;
  if (major == 6 && minor == 0) return flavour_xpsp3;
  return flavour_current;
}

const char* runtime_flavour_name(uint32_t flavour) {
  switch (flavour) {
    case flavour_w2k: return "w2k";
    case flavour_xpsp3: return "xpsp3";
    case flavour_current: return "current";
    default: return "nt4";
  }
}

void classify_host_os(install_context* ctx) {
  ctx->os_major = ctx->os_minor = ctx->os_build = ctx->os_revision = 0;
  read_ntdll_version(ctx);
  ctx->runtime_flavour = runtime_flavour_of(ctx->os_major, ctx->os_minor, ctx->os_build, ctx->os_revision);
  print_info("os %d.%d.%d.%d => crt \"%s\"\n", static_cast<int>(ctx->os_major), static_cast<int>(ctx->os_minor),
             static_cast<int>(ctx->os_build), static_cast<int>(ctx->os_revision),
             runtime_flavour_name(ctx->runtime_flavour));
}
