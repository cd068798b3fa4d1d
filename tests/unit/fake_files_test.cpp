// The simulated file system keeps the Windows rules that the stages' tests rely on.
#include "fake_machine.h"
#include "platform/files.h"

namespace {

using simulated_files = fresh_machine;

plat::file_identity identity_of(const char* path) {
  plat::handle h = plat::create_file(path, plat::generic_read, plat::file_share_read, plat::open_existing,
                                     plat::file_attribute_normal);
  EXPECT_NE(h, plat::invalid_handle_value) << path;
  plat::file_identity id{};
  EXPECT_TRUE(plat::get_file_information_by_handle(h, &id));
  plat::close_handle(h);
  return id;
}

bool same(const plat::file_identity& a, const plat::file_identity& b) {
  return a.volume_serial_number == b.volume_serial_number && a.file_index_high == b.file_index_high &&
         a.file_index_low == b.file_index_low;
}

TEST_F(simulated_files, every_form_of_a_path_shares_one_identity_and_other_files_differ) {
  fake::add_file("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe", "MZ");
  fake::add_file("C:\\Other\\qor.ua.matrix2.exe", "MZ");
  fake::add_path_alias("C:\\PROGRA~1", "C:\\Program Files");
  plat::file_identity id = identity_of("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe");
  EXPECT_TRUE(same(id, identity_of("c:\\PROGRAM FILES\\morvellan\\qor.ua\\MATRIX2\\QOR.UA.MATRIX2.EXE")));
  EXPECT_TRUE(same(id, identity_of("C:\\PROGRA~1\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe")));
  EXPECT_FALSE(same(id, identity_of("C:\\Other\\qor.ua.matrix2.exe")));
  EXPECT_EQ(fake::open_handles(), 0);
}

TEST_F(simulated_files, an_unshared_open_file_refuses_a_second_open_with_32_until_closed) {
  plat::handle w = plat::create_file("C:\\f.exe", plat::generic_write, 0, plat::create_always, plat::file_attribute_normal);
  ASSERT_NE(w, plat::invalid_handle_value);
  EXPECT_EQ(plat::create_file("C:\\F.EXE", plat::generic_read, plat::file_share_read, plat::open_existing, 0),
            plat::invalid_handle_value);
  EXPECT_EQ(plat::get_last_error(), plat::error_sharing_violation);
  uint32_t written = 0;
  EXPECT_TRUE(plat::write_file(w, "abc", 3, &written));
  EXPECT_TRUE(plat::close_handle(w));
  EXPECT_EQ(fake::file_data("C:\\f.exe"), "abc");
  EXPECT_EQ(fake::open_handles(), 0);
}

TEST_F(simulated_files, opening_a_folder_or_a_missing_file_fails_with_windows_codes) {
  struct open_case {
    const char* path;
    uint32_t disposition;
    uint32_t code;
  } cases[] = {
      {"C:\\Program Files", plat::open_existing, plat::error_access_denied},
      {"C:\\Program Files", plat::create_always, plat::error_access_denied},
      {"C:\\missing.exe", plat::open_existing, plat::error_file_not_found},
      {"C:\\No\\missing.exe", plat::open_existing, plat::error_path_not_found},
      {"C:\\No\\new.exe", plat::create_always, plat::error_path_not_found},
  };
  for (const open_case& c : cases) {
    EXPECT_EQ(plat::create_file(c.path, plat::generic_write, 0, c.disposition, 0), plat::invalid_handle_value) << c.path;
    EXPECT_EQ(plat::get_last_error(), c.code) << c.path;
  }
  EXPECT_EQ(fake::open_handles(), 0);
}

}  // namespace
