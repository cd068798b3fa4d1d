#pragma once

#include "core/context.h"

// Appends an entry with its own copies of both names. The array grows to exactly count + 1 entries, so the
// list holds no spare room: it rarely has more than a handful of entries.
void service_list_append(service_list* list, const char* file_name, const char* service_name, uint32_t state);
