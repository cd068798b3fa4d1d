// The certificate stage's calls into Mbed TLS, as the unit tests see them. The test program is linked with
// --wrap for each library operation of the stage: every call is written down with the arguments that
// matter and then passes to the real library, unless a test scripted it to fail with a code.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct library_fault {
  std::string call;   // the operation, e.g. "mbedtls_ctr_drbg_seed"
  int occurrence;     // fail its n-th call (1 = the first)
  int code;           // returned instead of calling the library
};

struct library_trace {
  bool recording;                  // only the stage's calls are recorded, not the test's own
  std::vector<std::string> calls;  // "name(arguments)" in order
  std::vector<library_fault> faults;
  std::function<void(const std::string& call)> on_call;  // runs before each recorded call goes on
};

library_trace& mbedtls_trace();
void reset_mbedtls_trace();
