#pragma once

#include "core/context.h"

// Frees every entry's strings, then the array, and leaves the list empty.
void service_list_release(service_list* list);
