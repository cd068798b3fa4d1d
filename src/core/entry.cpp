#include "core/entry.h"

#include "core/console.h"
#include "core/install.h"
#include "core/service_list.h"

namespace {

const char* const banner = "qor installer 3.14.0.0, 32-bit";

// Any argument gets the help text: the program has no other option, so an unknown one is answered the
// same way as "/help" or "-?".
int show_help() {
  print_info("%s\n\n", banner);
  print_info("OPTIONS\n");
  print_info("  /%s\n", "help");
  print_info("      %s\n", "show this help");
  return 1;
}

int install() {
  print_info("%s\n", banner);
  install_context ctx{};
  ctx.services = {nullptr, 0};
  bool ok = install_run(&ctx);
  service_list_release(&ctx.services);
  print_info(ok ? "installation SUCCEEDED!\n" : "installation FAILED.\n");
  return ok ? 0 : 1;
}

}  // namespace

int installer_main(int argc, char**) { return argc <= 1 ? install() : show_help(); }
