// Killing the processes that still run a payload file, so that the file can be replaced.
#pragma once

#include "core/context.h"

// Terminates every process whose executable is the payload file, without waiting for them to end. False
// only when the payload path does not fit; everything else is at most a warning.
bool terminate_payload_processes(install_context* ctx, const char* file_name);
