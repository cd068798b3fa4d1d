// The Program Files folder and the destination folder below it.
#pragma once

#include "core/context.h"

// Reads the "ProgramFiles" environment variable into ctx->program_files. An absent variable fails with
// "Failed to get \"Program Files\""; an empty one is taken as it is (folders at the drive root).
bool read_program_files(install_context* ctx);

// Creates Morvellan\QOR.UA\matrix2 below Program Files, one folder at a time, and sets ctx->destination
// (with its trailing backslash).
bool prepare_destination(install_context* ctx);

// Creates the folders of a relative path below the destination; its last component names a file and is not
// created. The caller's console line is still open, so a failure goes on a line of its own.
bool ensure_parent_folders(const install_context* ctx, const char* relative);
