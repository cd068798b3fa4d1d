#include "mbedtls_trace.h"

#include <map>

#include <mbedtls/ctr_drbg.h>
#include <mbedtls/entropy.h>
#include <mbedtls/pk.h>
#include <mbedtls/x509_crt.h>

namespace {

library_trace trace;
std::map<std::string, int> occurrences;
// What each context the stage passed is, so the trace can say "the key" or "the generator seeded with ...".
std::map<const void*, std::string> names;

std::string quoted(const char* text, size_t length) { return "\"" + std::string(text, length) + "\""; }

std::string name_of(const void* context) {
  auto it = names.find(context);
  return it == names.end() ? "?" : it->second;
}

bool all_zero(const unsigned char* buffer, size_t size) {
  for (size_t i = 0; i < size; i++)
    if (buffer[i]) return false;
  return true;
}

std::string buffer_arg(const unsigned char* buffer, size_t size) {
  return std::to_string(size) + (all_zero(buffer, size) ? " zeroed" : " dirty");
}

// Records the call; true when the test scripted it to fail, with the code in *code.
bool record(const std::string& name, const std::string& arguments, int* code = nullptr) {
  if (!trace.recording) return false;
  trace.calls.push_back(name + "(" + arguments + ")");
  if (trace.on_call) trace.on_call(name);
  int n = ++occurrences[name];
  for (const library_fault& f : trace.faults)
    if (f.call == name && f.occurrence == n && code) {
      *code = f.code;
      return true;
    }
  return false;
}

}  // namespace

library_trace& mbedtls_trace() { return trace; }

void reset_mbedtls_trace() {
  trace = library_trace{};
  occurrences.clear();
  names.clear();
}

using rng_function = int (*)(void*, unsigned char*, size_t);

extern "C" {

void __real_mbedtls_pk_init(mbedtls_pk_context*);
const mbedtls_pk_info_t* __real_mbedtls_pk_info_from_type(mbedtls_pk_type_t);
int __real_mbedtls_pk_setup(mbedtls_pk_context*, const mbedtls_pk_info_t*);
void __real_mbedtls_pk_free(mbedtls_pk_context*);
void __real_mbedtls_ctr_drbg_init(mbedtls_ctr_drbg_context*);
int __real_mbedtls_ctr_drbg_seed(mbedtls_ctr_drbg_context*, rng_function, void*, const unsigned char*, size_t);
void __real_mbedtls_ctr_drbg_free(mbedtls_ctr_drbg_context*);
void __real_mbedtls_entropy_init(mbedtls_entropy_context*);
void __real_mbedtls_entropy_free(mbedtls_entropy_context*);
int __real_mbedtls_rsa_gen_key(mbedtls_rsa_context*, rng_function, void*, unsigned int, int);
int __real_mbedtls_pk_write_key_pem(mbedtls_pk_context*, unsigned char*, size_t);
void __real_mbedtls_x509write_crt_init(mbedtls_x509write_cert*);
void __real_mbedtls_x509write_crt_free(mbedtls_x509write_cert*);
void __real_mbedtls_mpi_init(mbedtls_mpi*);
void __real_mbedtls_mpi_free(mbedtls_mpi*);
int __real_mbedtls_mpi_read_string(mbedtls_mpi*, int, const char*);
void __real_mbedtls_x509write_crt_set_subject_key(mbedtls_x509write_cert*, mbedtls_pk_context*);
void __real_mbedtls_x509write_crt_set_issuer_key(mbedtls_x509write_cert*, mbedtls_pk_context*);
int __real_mbedtls_x509write_crt_set_subject_name(mbedtls_x509write_cert*, const char*);
int __real_mbedtls_x509write_crt_set_issuer_name(mbedtls_x509write_cert*, const char*);
void __real_mbedtls_x509write_crt_set_version(mbedtls_x509write_cert*, int);
void __real_mbedtls_x509write_crt_set_md_alg(mbedtls_x509write_cert*, mbedtls_md_type_t);
int __real_mbedtls_x509write_crt_set_serial(mbedtls_x509write_cert*, const mbedtls_mpi*);
int __real_mbedtls_x509write_crt_set_validity(mbedtls_x509write_cert*, const char*, const char*);
int __real_mbedtls_x509write_crt_set_basic_constraints(mbedtls_x509write_cert*, int, int);
int __real_mbedtls_x509write_crt_set_subject_key_identifier(mbedtls_x509write_cert*);
int __real_mbedtls_x509write_crt_set_authority_key_identifier(mbedtls_x509write_cert*);
int __real_mbedtls_x509write_crt_set_key_usage(mbedtls_x509write_cert*, unsigned int);
int __real_mbedtls_x509write_crt_pem(mbedtls_x509write_cert*, unsigned char*, size_t, rng_function, void*);

void __wrap_mbedtls_pk_init(mbedtls_pk_context* ctx) {
  if (trace.recording) names[ctx] = "key";
  record("mbedtls_pk_init", name_of(ctx));
  __real_mbedtls_pk_init(ctx);
}

const mbedtls_pk_info_t* __wrap_mbedtls_pk_info_from_type(mbedtls_pk_type_t type) {
  record("mbedtls_pk_info_from_type", type == MBEDTLS_PK_RSA ? "RSA" : std::to_string(type));
  return __real_mbedtls_pk_info_from_type(type);
}

int __wrap_mbedtls_pk_setup(mbedtls_pk_context* ctx, const mbedtls_pk_info_t* info) {
  int code = 0;
  bool rsa = info == __real_mbedtls_pk_info_from_type(MBEDTLS_PK_RSA);
  if (record("mbedtls_pk_setup", name_of(ctx) + (rsa ? ", RSA" : ", other"), &code)) return code;
  return __real_mbedtls_pk_setup(ctx, info);
}

void __wrap_mbedtls_pk_free(mbedtls_pk_context* ctx) {
  record("mbedtls_pk_free", name_of(ctx));
  __real_mbedtls_pk_free(ctx);
}

void __wrap_mbedtls_ctr_drbg_init(mbedtls_ctr_drbg_context* ctx) {
  if (trace.recording) names[ctx] = "generator";
  record("mbedtls_ctr_drbg_init", "");
  __real_mbedtls_ctr_drbg_init(ctx);
}

int __wrap_mbedtls_ctr_drbg_seed(mbedtls_ctr_drbg_context* ctx, rng_function f_entropy, void* p_entropy,
                                 const unsigned char* custom, size_t len) {
  int code = 0;
  std::string personalization = quoted(reinterpret_cast<const char*>(custom), len);
  if (trace.recording) names[ctx] = "generator " + personalization;
  std::string source = f_entropy == mbedtls_entropy_func && name_of(p_entropy) == "entropy" ? "entropy" : "other";
  if (record("mbedtls_ctr_drbg_seed", source + ", " + personalization + ", " + std::to_string(len), &code))
    return code;
  return __real_mbedtls_ctr_drbg_seed(ctx, f_entropy, p_entropy, custom, len);
}

void __wrap_mbedtls_ctr_drbg_free(mbedtls_ctr_drbg_context* ctx) {
  record("mbedtls_ctr_drbg_free", name_of(ctx));
  __real_mbedtls_ctr_drbg_free(ctx);
}

void __wrap_mbedtls_entropy_init(mbedtls_entropy_context* ctx) {
  if (trace.recording) names[ctx] = "entropy";
  record("mbedtls_entropy_init", "");
  __real_mbedtls_entropy_init(ctx);
}

void __wrap_mbedtls_entropy_free(mbedtls_entropy_context* ctx) {
  record("mbedtls_entropy_free", name_of(ctx));
  __real_mbedtls_entropy_free(ctx);
}

int __wrap_mbedtls_rsa_gen_key(mbedtls_rsa_context* ctx, rng_function f_rng, void* p_rng, unsigned int nbits,
                               int exponent) {
  int code = 0;
  std::string rng = f_rng == mbedtls_ctr_drbg_random ? name_of(p_rng) : "other";
  if (record("mbedtls_rsa_gen_key", rng + ", " + std::to_string(nbits) + ", " + std::to_string(exponent), &code))
    return code;
  return __real_mbedtls_rsa_gen_key(ctx, f_rng, p_rng, nbits, exponent);
}

int __wrap_mbedtls_pk_write_key_pem(mbedtls_pk_context* ctx, unsigned char* buf, size_t size) {
  int code = 0;
  if (record("mbedtls_pk_write_key_pem", name_of(ctx) + ", " + buffer_arg(buf, size), &code)) return code;
  return __real_mbedtls_pk_write_key_pem(ctx, buf, size);
}

void __wrap_mbedtls_x509write_crt_init(mbedtls_x509write_cert* ctx) {
  record("mbedtls_x509write_crt_init", "");
  __real_mbedtls_x509write_crt_init(ctx);
}

void __wrap_mbedtls_x509write_crt_free(mbedtls_x509write_cert* ctx) {
  record("mbedtls_x509write_crt_free", "");
  __real_mbedtls_x509write_crt_free(ctx);
}

void __wrap_mbedtls_mpi_init(mbedtls_mpi* x) {
  if (trace.recording) names[x] = "serial";
  record("mbedtls_mpi_init", "");
  __real_mbedtls_mpi_init(x);
}

void __wrap_mbedtls_mpi_free(mbedtls_mpi* x) {
  record("mbedtls_mpi_free", name_of(x));
  __real_mbedtls_mpi_free(x);
}

int __wrap_mbedtls_mpi_read_string(mbedtls_mpi* x, int radix, const char* s) {
  int code = 0;
  if (record("mbedtls_mpi_read_string", name_of(x) + ", " + std::to_string(radix) + ", \"" + s + "\"", &code))
    return code;
  return __real_mbedtls_mpi_read_string(x, radix, s);
}

void __wrap_mbedtls_x509write_crt_set_subject_key(mbedtls_x509write_cert* ctx, mbedtls_pk_context* key) {
  record("mbedtls_x509write_crt_set_subject_key", name_of(key));
  __real_mbedtls_x509write_crt_set_subject_key(ctx, key);
}

void __wrap_mbedtls_x509write_crt_set_issuer_key(mbedtls_x509write_cert* ctx, mbedtls_pk_context* key) {
  record("mbedtls_x509write_crt_set_issuer_key", name_of(key));
  __real_mbedtls_x509write_crt_set_issuer_key(ctx, key);
}

int __wrap_mbedtls_x509write_crt_set_subject_name(mbedtls_x509write_cert* ctx, const char* name) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_subject_name", std::string("\"") + name + "\"", &code)) return code;
  return __real_mbedtls_x509write_crt_set_subject_name(ctx, name);
}

int __wrap_mbedtls_x509write_crt_set_issuer_name(mbedtls_x509write_cert* ctx, const char* name) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_issuer_name", std::string("\"") + name + "\"", &code)) return code;
  return __real_mbedtls_x509write_crt_set_issuer_name(ctx, name);
}

void __wrap_mbedtls_x509write_crt_set_version(mbedtls_x509write_cert* ctx, int version) {
  record("mbedtls_x509write_crt_set_version", std::to_string(version));
  __real_mbedtls_x509write_crt_set_version(ctx, version);
}

void __wrap_mbedtls_x509write_crt_set_md_alg(mbedtls_x509write_cert* ctx, mbedtls_md_type_t md) {
  record("mbedtls_x509write_crt_set_md_alg", std::to_string(md));
  __real_mbedtls_x509write_crt_set_md_alg(ctx, md);
}

int __wrap_mbedtls_x509write_crt_set_serial(mbedtls_x509write_cert* ctx, const mbedtls_mpi* serial) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_serial", name_of(serial), &code)) return code;
  return __real_mbedtls_x509write_crt_set_serial(ctx, serial);
}

int __wrap_mbedtls_x509write_crt_set_validity(mbedtls_x509write_cert* ctx, const char* from, const char* to) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_validity", std::string("\"") + from + "\", \"" + to + "\"", &code))
    return code;
  return __real_mbedtls_x509write_crt_set_validity(ctx, from, to);
}

int __wrap_mbedtls_x509write_crt_set_basic_constraints(mbedtls_x509write_cert* ctx, int is_ca, int max_pathlen) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_basic_constraints", std::to_string(is_ca) + ", " + std::to_string(max_pathlen),
             &code))
    return code;
  return __real_mbedtls_x509write_crt_set_basic_constraints(ctx, is_ca, max_pathlen);
}

int __wrap_mbedtls_x509write_crt_set_subject_key_identifier(mbedtls_x509write_cert* ctx) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_subject_key_identifier", "", &code)) return code;
  return __real_mbedtls_x509write_crt_set_subject_key_identifier(ctx);
}

int __wrap_mbedtls_x509write_crt_set_authority_key_identifier(mbedtls_x509write_cert* ctx) {
  int code = 0;
  if (record("mbedtls_x509write_crt_set_authority_key_identifier", "", &code)) return code;
  return __real_mbedtls_x509write_crt_set_authority_key_identifier(ctx);
}

int __wrap_mbedtls_x509write_crt_set_key_usage(mbedtls_x509write_cert* ctx, unsigned int usage) {
  int code = 0;
  char text[16];
  snprintf(text, sizeof text, "0x%02x", usage);
  if (record("mbedtls_x509write_crt_set_key_usage", text, &code)) return code;
  return __real_mbedtls_x509write_crt_set_key_usage(ctx, usage);
}

int __wrap_mbedtls_x509write_crt_pem(mbedtls_x509write_cert* ctx, unsigned char* buf, size_t size, rng_function f_rng,
                                     void* p_rng) {
  int code = 0;
  std::string rng = f_rng == mbedtls_ctr_drbg_random ? name_of(p_rng) : "other";
  if (record("mbedtls_x509write_crt_pem", buffer_arg(buf, size) + ", " + rng, &code)) return code;
  return __real_mbedtls_x509write_crt_pem(ctx, buf, size, f_rng, p_rng);
}

}  // extern "C"
