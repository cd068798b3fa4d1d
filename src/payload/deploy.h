// Deploying one payload into the destination folder, with its console line.
#pragma once

#include "core/context.h"
#include "payload/payload_table.h"

// Writes one payload to the destination, retrying while another process holds the target file open, and
// prints "Copying ..." with the outcome. False ends the installation.
bool deploy_payload(install_context* ctx, const payload_entry* entry);
