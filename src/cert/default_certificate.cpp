// The default instance's key and certificate. The key is made first and its file is complete and closed
// before the certificate file is opened, so a failure in the certificate step leaves a usable key behind;
// the next installation sees the missing certificate and makes both anew.
#include <cstring>

#include <mbedtls/ctr_drbg.h>
#include <mbedtls/entropy.h>
#include <mbedtls/rsa.h>

#include "cert/certificate.h"
#include "cert/pem_file.h"
#include "core/console.h"
#include "core/destination.h"
#include "core/path.h"
#include "platform/files.h"

namespace {

const char* const certificate_name = "instances\\default\\.cert";
const char* const key_name = "instances\\default\\.key";

// The key generator's personalization: the characters only, no terminator.
const char key_personalization[] = "qor VARAV installer rsa genkey";

constexpr unsigned int key_bits = 2048;
constexpr int key_exponent = 65537;

// Both files present, whatever they hold, means an earlier installation (or an administrator) made them:
// never replace them. The key file is only asked about when the certificate file is there.
bool both_files_exist(const char* certificate_path, const char* key_path) {
  return plat::path_file_exists(certificate_path) && plat::path_file_exists(key_path);
}

// The key's own generator lives only as long as the prime search; the certificate gets a fresh one.
int generate_rsa_key(mbedtls_rsa_context* rsa) {
  mbedtls_ctr_drbg_context generator;
  mbedtls_entropy_context entropy;
  mbedtls_ctr_drbg_init(&generator);
  mbedtls_entropy_init(&entropy);
  int code = mbedtls_ctr_drbg_seed(&generator, mbedtls_entropy_func, &entropy,
                                   reinterpret_cast<const unsigned char*>(key_personalization),
                                   sizeof key_personalization - 1);
  if (code == 0) code = mbedtls_rsa_gen_key(rsa, mbedtls_ctr_drbg_random, &generator, key_bits, key_exponent);
  mbedtls_ctr_drbg_free(&generator);
  mbedtls_entropy_free(&entropy);
  return code;
}

// A 2048-bit RSA key in the key context, which must be freshly initialised.
int make_rsa_key(mbedtls_pk_context* key) {
  int code = mbedtls_pk_setup(key, mbedtls_pk_info_from_type(MBEDTLS_PK_RSA));
  if (code != 0) return code;
  return generate_rsa_key(mbedtls_pk_rsa(*key));
}

int write_key_file(mbedtls_pk_context* key, const char* path) {
  unsigned char pem[pem_buffer_size];
  memset(pem, 0, sizeof pem);
  int code = mbedtls_pk_write_key_pem(key, pem, sizeof pem);
  if (code < 0) return code;
  return write_pem_file(path, pem);
}

bool report_outcome(int code) {
  if (code != 0) {
    print_error(" failed: %d\n", code);
    return false;
  }
  print_info(" ok\n");
  return true;
}

}  // namespace

bool generate_default_certificate(install_context* ctx) {
  print_info("Generating default certificate...");
  char certificate_path[plat::max_path];
  char key_path[plat::max_path];
  if (!path_below_destination(ctx, certificate_name, certificate_path)) return false;
  if (!path_below_destination(ctx, key_name, key_path)) return false;
  if (both_files_exist(certificate_path, key_path)) {
    print_info("\n  default certificate exists already. Will skip.\n");
    return true;
  }
  if (!ensure_parent_folders(ctx, certificate_name) || !ensure_parent_folders(ctx, key_name)) return false;

  mbedtls_pk_context key;
  mbedtls_pk_init(&key);
  int code = make_rsa_key(&key);
  if (code == 0) code = write_key_file(&key, key_path);
  if (code == 0) code = write_self_signed_certificate(&key, certificate_path);
  mbedtls_pk_free(&key);
  return report_outcome(code);
}
