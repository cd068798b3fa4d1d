#include "services/service_list.h"

#include <cstdlib>
#include <cstring>

namespace {

char* copy_of(const char* text) {
  size_t size = strlen(text) + 1;
  char* copy = static_cast<char*>(malloc(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

}  // namespace

// Without memory the entry is left out rather than the run ended: the list then only misses a service to
// stop or start again.
void service_list_append(service_list* list, const char* file_name, const char* service_name, uint32_t state) {
  char* file_copy = copy_of(file_name);
  char* service_copy = copy_of(service_name);
  auto* items = static_cast<service_entry*>(realloc(list->items, (list->count + 1) * sizeof(service_entry)));
  if (!file_copy || !service_copy || !items) {
    free(file_copy);
    free(service_copy);
    if (items) list->items = items;
    return;
  }
  items[list->count] = {file_copy, service_copy, state};
  list->items = items;
  list->count++;
}
