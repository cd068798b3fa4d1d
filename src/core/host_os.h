#pragma once

#include "core/context.h"

// The runtime flavour of a Windows version, from ntdll.dll's four version numbers.
uint32_t runtime_flavour_of(uint32_t major, uint32_t minor, uint32_t build, uint32_t revision);
const char* runtime_flavour_name(uint32_t flavour);

// Reads ntdll.dll's file version into the context, classifies it and prints the "os" line. A version that
// cannot be read leaves four zeros ("nt4"); the installation goes on either way.
void classify_host_os(install_context* ctx);
