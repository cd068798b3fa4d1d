// Reads back the default key and certificate as a client of the server would: the PEM layout on disk, and
// the DER inside it parsed with Mbed TLS and, for the dates, with the openssl command.
#pragma once

#include <string>
#include <vector>

// The PEM file's layout as the Windows runtime leaves it: the label's begin and end lines, Base64 lines of
// 64 characters (the last may be shorter), CR LF after every line, no zero byte. Records test failures and
// returns the text with LF line ends.
std::string expect_crlf_pem(const std::string& file, const char* label);

// One extension of a certificate as encoded: its OID, whether it is marked critical, the extnValue bytes.
struct encoded_extension {
  std::string oid;
  bool critical;
  std::string value;
  bool operator==(const encoded_extension&) const = default;
};

// Everything the certificate checks compare, taken from the DER.
struct certificate_facts {
  int version;
  std::string serial;           // content bytes
  std::string subject;          // as mbedtls_x509_dn_gets prints it
  int subject_tag;              // the string type of the common name
  bool issuer_is_subject;       // raw DER equal
  std::string validity;         // raw DER of the Validity SEQUENCE's contents
  std::vector<encoded_extension> extensions;
  std::string public_key_sha1;  // SHA-1 of the DER RSAPublicKey inside subjectPublicKeyInfo
  bool sha256_with_rsa;         // signature algorithm
  size_t signature_length;
  bool signature_verifies;      // with the key file's key, SHA-256, PKCS#1 v1.5
  bool key_matches;             // the certificate's public key is the key file's
};

// Parses the LF text of both files. False (with test failures recorded) when either does not parse.
bool read_certificate(const std::string& certificate_pem, const std::string& key_pem, certificate_facts* facts);

// The key file's RSA key: bits, public exponent, whether it is a consistent private key with CRT values,
// and the number of INTEGERs in its DER (PKCS#1 RSAPrivateKey has nine, version 0 first).
struct key_facts {
  size_t bits;
  int exponent;
  bool private_key_ok;
  int integers;
  bool version_zero;
};
bool read_key(const std::string& key_pem, key_facts* facts);

// What `openssl x509 -noout <options>` prints for the certificate text.
std::string openssl_x509(const std::string& certificate_pem, const char* options);
