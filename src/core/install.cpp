#include "core/install.h"

#include "cert/certificate.h"
#include "core/destination.h"
#include "core/host_os.h"

bool install_run(install_context* ctx) {
  classify_host_os(ctx);
  if (!read_program_files(ctx)) return false;
  if (!prepare_destination(ctx)) return false;

  if (!generate_default_certificate(ctx)) return false;
  return true;
}
