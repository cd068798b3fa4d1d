// The server's default instance key and self-signed certificate, below the destination:
// "instances\default\.key" (PKCS#1 RSA 2048, PEM) and "instances\default\.cert" (X.509 v3, PEM).
#pragma once

#include <mbedtls/pk.h>

#include "core/context.h"

// Makes both files unless both exist already (a folder of either name counts as present). Prints
// "Generating default certificate..." and its outcome. True when both files exist afterwards.
bool generate_default_certificate(install_context* ctx);

// Writes a self-signed certificate for the key to the file at `path`, valid from now for 30 years. 0 when
// the file was written, the library's negative code of the first call that failed, or -1 when the file
// could not be opened or did not take every byte. Prints nothing.
int write_self_signed_certificate(mbedtls_pk_context* key, const char* path);
