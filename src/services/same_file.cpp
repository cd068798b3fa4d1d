#include "services/same_file.h"

#include "platform/files.h"

namespace {

plat::handle open_for_identity(const char* path) {
  return plat::create_file(path, plat::generic_read, plat::file_share_read, plat::open_existing,
                           plat::file_attribute_normal);
}

}  // namespace

bool same_file(const char* a, const char* b) {
  plat::handle file_a = open_for_identity(a);
  plat::handle file_b = open_for_identity(b);
  bool same = false;
  if (file_a != plat::invalid_handle_value && file_b != plat::invalid_handle_value) {
    plat::file_identity id_a{}, id_b{};
    same = plat::get_file_information_by_handle(file_a, &id_a) && plat::get_file_information_by_handle(file_b, &id_b) &&
           id_a.volume_serial_number == id_b.volume_serial_number && id_a.file_index_high == id_b.file_index_high &&
           id_a.file_index_low == id_b.file_index_low;
  }
  if (file_b != plat::invalid_handle_value) plat::close_handle(file_b);
  if (file_a != plat::invalid_handle_value) plat::close_handle(file_a);
  return same;
}
