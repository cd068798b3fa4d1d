// Stopping the recorded running services before the files are replaced, and starting them again at the end.
#pragma once

#include "core/context.h"

// Stops every service that discovery saw running. Failures are warnings; always true.
bool stop_running_services(install_context* ctx);

// Starts every service recorded as running, the one registered by this run included. Failures are warnings;
// always true.
bool start_recorded_services(install_context* ctx);
