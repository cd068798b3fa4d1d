// One default key and certificate through the installer's own certificate stage, on a fresh simulated
// machine: a whole process to time against `openssl genrsa 2048` (see README). Exit status 0 on success.
#include <cstring>

#include "cert/certificate.h"
#include "core/context.h"
#include "platform/fake/fake.h"

int main() {
  fake::reset();
  const char* destination = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\";
  fake::add_folder(destination);
  install_context ctx{};
  strcpy(ctx.destination, destination);
  return generate_default_certificate(&ctx) ? 0 : 1;
}
