#include "certificate_inspect.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <mbedtls/asn1.h>
#include <mbedtls/pk.h>
#include <mbedtls/sha1.h>
#include <mbedtls/sha256.h>
#include <mbedtls/x509_crt.h>

namespace {

std::string bytes(const unsigned char* p, size_t length) { return std::string(reinterpret_cast<const char*>(p), length); }

// The extensions in encoding order, from the [3] field's contents.
std::vector<encoded_extension> walk_extensions(const mbedtls_x509_buf& v3) {
  std::vector<encoded_extension> found;
  unsigned char* p = v3.p;
  const unsigned char* end = v3.p + v3.len;
  size_t length = 0;
  if (mbedtls_asn1_get_tag(&p, end, &length, MBEDTLS_ASN1_CONSTRUCTED | MBEDTLS_ASN1_SEQUENCE) != 0) return found;
  while (p < end) {
    if (mbedtls_asn1_get_tag(&p, end, &length, MBEDTLS_ASN1_CONSTRUCTED | MBEDTLS_ASN1_SEQUENCE) != 0) break;
    const unsigned char* extension_end = p + length;
    encoded_extension e{};
    if (mbedtls_asn1_get_tag(&p, extension_end, &length, MBEDTLS_ASN1_OID) != 0) break;
    e.oid = bytes(p, length);
    p += length;
    int critical = 0;
    if (*p == MBEDTLS_ASN1_BOOLEAN && mbedtls_asn1_get_bool(&p, extension_end, &critical) != 0) break;
    e.critical = critical != 0;
    if (mbedtls_asn1_get_tag(&p, extension_end, &length, MBEDTLS_ASN1_OCTET_STRING) != 0) break;
    e.value = bytes(p, length);
    p += length;
    found.push_back(e);
  }
  return found;
}

// SHA-1 of the RSAPublicKey: the subjectPublicKey bit string's bytes after its unused-bits byte.
std::string public_key_sha1(const mbedtls_x509_buf& spki) {
  unsigned char* p = spki.p;
  const unsigned char* end = spki.p + spki.len;
  size_t length = 0;
  mbedtls_asn1_bitstring key{};
  if (mbedtls_asn1_get_tag(&p, end, &length, MBEDTLS_ASN1_CONSTRUCTED | MBEDTLS_ASN1_SEQUENCE) != 0 ||
      mbedtls_asn1_get_tag(&p, end, &length, MBEDTLS_ASN1_CONSTRUCTED | MBEDTLS_ASN1_SEQUENCE) != 0)
    return "";
  p += length;  // the algorithm
  if (mbedtls_asn1_get_bitstring(&p, end, &key) != 0 || key.unused_bits != 0) return "";
  unsigned char digest[20];
  mbedtls_sha1_ret(key.p, key.len, digest);
  return bytes(digest, sizeof digest);
}

// The Validity SEQUENCE's contents: what lies between the issuer and the subject in the tbsCertificate.
std::string validity_of(const mbedtls_x509_crt& crt) {
  const unsigned char* from = crt.issuer_raw.p + crt.issuer_raw.len;
  const unsigned char* to = crt.subject_raw.p;
  if (to - from < 2) return "";
  return bytes(from + 2, static_cast<size_t>(to - from - 2));  // short-form length: under 128 bytes
}

bool parse_key(const std::string& key_pem, mbedtls_pk_context* key) {
  int code = mbedtls_pk_parse_key(key, reinterpret_cast<const unsigned char*>(key_pem.c_str()), key_pem.size() + 1,
                                  nullptr, 0);
  EXPECT_EQ(code, 0) << "the key file does not parse";
  return code == 0;
}

}  // namespace

std::string expect_crlf_pem(const std::string& file, const char* label) {
  EXPECT_EQ(file.find('\0'), std::string::npos) << label;
  EXPECT_EQ(file.find("\r\r"), std::string::npos) << label;
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t lf = file.find('\n'); lf != std::string::npos; start = lf + 1, lf = file.find('\n', start)) {
    EXPECT_TRUE(lf > start && file[lf - 1] == '\r') << label << ": a line without CR LF at " << lf;
    lines.push_back(file.substr(start, lf - start - (lf > start && file[lf - 1] == '\r')));
  }
  EXPECT_EQ(start, file.size()) << label << ": text after the last line break";
  if (lines.size() < 3) {
    ADD_FAILURE() << label << ": too few lines";
    return "";
  }
  EXPECT_EQ(lines.front(), std::string("-----BEGIN ") + label + "-----");
  EXPECT_EQ(lines.back(), std::string("-----END ") + label + "-----");
  for (size_t i = 1; i + 1 < lines.size(); i++) {
    size_t length = lines[i].size();
    if (i + 2 < lines.size()) EXPECT_EQ(length, 64u) << label << " line " << i;
    else EXPECT_TRUE(length > 0 && length <= 64) << label << " last line";
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

bool read_certificate(const std::string& certificate_pem, const std::string& key_pem, certificate_facts* facts) {
  mbedtls_x509_crt crt;
  mbedtls_pk_context key;
  mbedtls_x509_crt_init(&crt);
  mbedtls_pk_init(&key);
  int code = mbedtls_x509_crt_parse(&crt, reinterpret_cast<const unsigned char*>(certificate_pem.c_str()),
                                    certificate_pem.size() + 1);
  EXPECT_EQ(code, 0) << "the certificate file does not parse";
  bool ok = code == 0 && parse_key(key_pem, &key);
  if (ok) {
    char name[256];
    mbedtls_x509_dn_gets(name, sizeof name, &crt.subject);
    unsigned char hash[32];
    mbedtls_sha256_ret(crt.tbs.p, crt.tbs.len, hash, 0);
    *facts = {crt.version,
              bytes(crt.serial.p, crt.serial.len),
              name,
              crt.subject.val.tag,
              crt.issuer_raw.len == crt.subject_raw.len &&
                  memcmp(crt.issuer_raw.p, crt.subject_raw.p, crt.subject_raw.len) == 0,
              validity_of(crt),
              walk_extensions(crt.v3_ext),
              public_key_sha1(crt.pk_raw),
              crt.sig_md == MBEDTLS_MD_SHA256 && crt.sig_pk == MBEDTLS_PK_RSA,
              crt.sig.len,
              mbedtls_pk_verify(&key, MBEDTLS_MD_SHA256, hash, sizeof hash, crt.sig.p, crt.sig.len) == 0,
              mbedtls_pk_check_pair(&crt.pk, &key) == 0};
  }
  mbedtls_pk_free(&key);
  mbedtls_x509_crt_free(&crt);
  return ok;
}

bool read_key(const std::string& key_pem, key_facts* facts) {
  mbedtls_pk_context key;
  mbedtls_pk_init(&key);
  bool ok = parse_key(key_pem, &key) && mbedtls_pk_get_type(&key) == MBEDTLS_PK_RSA;
  if (ok) {
    mbedtls_rsa_context* rsa = mbedtls_pk_rsa(key);
    facts->bits = mbedtls_pk_get_bitlen(&key);
    facts->exponent = mbedtls_mpi_cmp_int(&rsa->E, 65537) == 0 ? 65537 : -1;
    facts->private_key_ok = mbedtls_rsa_check_privkey(rsa) == 0;
    // The DER again, to look at its layout: PEM with its markers, Base64 in between.
    unsigned char der[4096];
    int length = mbedtls_pk_write_key_der(&key, der, sizeof der);
    unsigned char* p = der + sizeof der - length;
    const unsigned char* end = der + sizeof der;
    size_t len = 0;
    facts->integers = 0;
    facts->version_zero = false;
    if (length > 0 && mbedtls_asn1_get_tag(&p, end, &len, MBEDTLS_ASN1_CONSTRUCTED | MBEDTLS_ASN1_SEQUENCE) == 0) {
      facts->version_zero = p[0] == MBEDTLS_ASN1_INTEGER && p[1] == 1 && p[2] == 0;
      while (p < end && mbedtls_asn1_get_tag(&p, end, &len, MBEDTLS_ASN1_INTEGER) == 0) {
        p += len;
        facts->integers++;
      }
    }
  }
  mbedtls_pk_free(&key);
  return ok;
}

std::string openssl_x509(const std::string& certificate_pem, const char* options) {
  char path[] = "/tmp/qor-cert-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return "";
  ssize_t written = write(fd, certificate_pem.data(), certificate_pem.size());
  close(fd);
  std::string output;
  if (written == static_cast<ssize_t>(certificate_pem.size())) {
    std::string command = std::string("openssl x509 -noout ") + options + " -in " + path + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[512];
    for (size_t n; pipe && (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    if (pipe) pclose(pipe);
  }
  unlink(path);
  return output;
}
