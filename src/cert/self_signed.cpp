// The self-signed certificate of the default instance: subject and issuer are the same name and the same
// key, valid for 30 years from the moment of installation.
#include <cstdio>
#include <cstring>

#include <mbedtls/ctr_drbg.h>
#include <mbedtls/entropy.h>
#include <mbedtls/x509_crt.h>

#include "cert/certificate.h"
#include "cert/pem_file.h"
#include "platform/clock.h"

namespace {

// The certificate generator's personalization, trailing blank included, terminator not.
const char certificate_personalization[] = "crt qor VARAV installer ";

const char* const certificate_name = "CN=qor VARAV installer";
constexpr int validity_years = 30;
constexpr unsigned int key_usage = MBEDTLS_X509_KU_DIGITAL_SIGNATURE | MBEDTLS_X509_KU_DATA_ENCIPHERMENT;

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The writer takes any 14 characters as a time, so the end of validity must be a real date: 30 years after
// 29 February is never a leap year, and that day becomes 28 February.
int last_day_of_february(int year) { return is_leap_year(year) ? 29 : 28; }

// "YYYYMMDDhhmmss" of the time with `years` added. A year past 9999 gives 15 characters, which the writer
// refuses with its own code.
void format_validity(const plat::system_time& t, int years, char* out, size_t size) {
  int year = t.year + years;
  int day = t.day;
  if (t.month == 2 && day > last_day_of_february(year)) day = last_day_of_february(year);
  snprintf(out, size, "%04d%02d%02d%02d%02d%02d", year, t.month, day, t.hour, t.minute, t.second);
}

int set_validity_from_now(mbedtls_x509write_cert* writer) {
  plat::system_time now;
  plat::get_system_time(&now);
  char not_before[32];
  char not_after[32];
  format_validity(now, 0, not_before, sizeof not_before);
  format_validity(now, validity_years, not_after, sizeof not_after);
  return mbedtls_x509write_crt_set_validity(writer, not_before, not_after);
}

// Names, keys, version, digest and serial: the key is its own issuer.
int set_identity(mbedtls_x509write_cert* writer, mbedtls_pk_context* key, mbedtls_mpi* serial) {
  mbedtls_x509write_crt_set_subject_key(writer, key);
  mbedtls_x509write_crt_set_issuer_key(writer, key);
  int code = mbedtls_x509write_crt_set_subject_name(writer, certificate_name);
  if (code == 0) code = mbedtls_x509write_crt_set_issuer_name(writer, certificate_name);
  if (code != 0) return code;
  mbedtls_x509write_crt_set_version(writer, MBEDTLS_X509_CRT_VERSION_3);
  mbedtls_x509write_crt_set_md_alg(writer, MBEDTLS_MD_SHA256);
  return mbedtls_x509write_crt_set_serial(writer, serial);
}

// The writer encodes its extensions in the order they are added here.
int add_extensions(mbedtls_x509write_cert* writer) {
  int code = mbedtls_x509write_crt_set_basic_constraints(writer, 0, -1);
  if (code == 0) code = mbedtls_x509write_crt_set_subject_key_identifier(writer);
  if (code == 0) code = mbedtls_x509write_crt_set_authority_key_identifier(writer);
  if (code == 0) code = mbedtls_x509write_crt_set_key_usage(writer, key_usage);
  return code;
}

int sign_and_write(mbedtls_x509write_cert* writer, mbedtls_ctr_drbg_context* generator, const char* path) {
  unsigned char pem[pem_buffer_size];
  memset(pem, 0, sizeof pem);
  int code = mbedtls_x509write_crt_pem(writer, pem, sizeof pem, mbedtls_ctr_drbg_random, generator);
  if (code < 0) return code;
  return write_pem_file(path, pem);
}

}  // namespace

int write_self_signed_certificate(mbedtls_pk_context* key, const char* path) {
  mbedtls_x509write_cert writer;
  mbedtls_mpi serial;
  mbedtls_ctr_drbg_context generator;
  mbedtls_entropy_context entropy;
  mbedtls_x509write_crt_init(&writer);
  mbedtls_mpi_init(&serial);
  mbedtls_ctr_drbg_init(&generator);
  mbedtls_entropy_init(&entropy);

  int code = mbedtls_ctr_drbg_seed(&generator, mbedtls_entropy_func, &entropy,
                                   reinterpret_cast<const unsigned char*>(certificate_personalization),
                                   sizeof certificate_personalization - 1);
  if (code == 0) code = mbedtls_mpi_read_string(&serial, 10, "1");
  if (code == 0) code = set_identity(&writer, key, &serial);
  if (code == 0) code = set_validity_from_now(&writer);
  if (code == 0) code = add_extensions(&writer);
  if (code == 0) code = sign_and_write(&writer, &generator, path);

  mbedtls_x509write_crt_free(&writer);
  mbedtls_mpi_free(&serial);
  mbedtls_ctr_drbg_free(&generator);
  mbedtls_entropy_free(&entropy);
  return code;
}
