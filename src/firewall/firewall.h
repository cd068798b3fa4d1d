// The firewall stage: the server's executable goes into the authorized applications of the Windows
// Firewall's current profile, under the name "qor VARAV". Best effort: whatever the firewall answers is only
// a warning, and only a payload path that cannot be built stops the installation.
#pragma once

#include "core/context.h"
#include "platform/firewall.h"

// Opens a single-threaded COM apartment around add_firewall_exception and closes it again. When COM cannot
// be had the stage is skipped with a warning. False only when add_firewall_exception gives false.
bool configure_firewall(const install_context* ctx, const char* file_name);

// Adds the exception for the payload file of that name and prints the stage's line. False only when the
// payload path does not fit ("internal error"). COM must be initialised on the calling thread.
bool add_firewall_exception(const install_context* ctx, const char* file_name);

// Makes sure the profile holds an enabled entry for the UTF-16 path, adding a new one otherwise (also when a
// disabled one is there, which is left alone). A success code, or the first failing HRESULT. Prints nothing.
plat::hresult ensure_authorized_application(plat::net_fw_profile* profile, const char16_t* path);
