#include "core/service_list.h"

#include <cstdlib>

void service_list_release(service_list* list) {
  for (uint32_t i = 0; i < list->count; i++) {
    free(list->items[i].file_name);
    free(list->items[i].service_name);
  }
  free(list->items);
  list->items = nullptr;
  list->count = 0;
}
