#pragma once

#include "core/context.h"

// The installation: every stage once, in order, on the one context. A stage's false ends it at once;
// nothing done so far is undone. True when the installation succeeded.
bool install_run(install_context* ctx);
