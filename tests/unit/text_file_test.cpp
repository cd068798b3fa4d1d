// The simulated C runtime streams store exactly what the Windows runtime stores, and fail as it fails.
#include <cstring>

#include "fake_machine.h"
#include "platform/files.h"
#include "platform/text_file.h"

namespace {

using runtime_streams = fresh_machine;

size_t write_text(plat::stream file, const char* text) { return plat::stream_write(text, 1, strlen(text), file); }

TEST_F(runtime_streams, text_mode_stores_every_line_feed_as_cr_lf_and_binary_mode_stores_bytes_as_they_are) {
  struct mode_case {
    const char* mode;
    const char* stored;
  } cases[] = {
      {"w", "a\r\nb\r\r\n\r\nend"},  // "\r\n" in the text becomes "\r\r\n", as on Windows
      {"wb", "a\nb\r\n\nend"},
  };
  for (const mode_case& c : cases) {
    plat::stream file = plat::stream_open("C:\\out.txt", c.mode);
    ASSERT_NE(file, nullptr) << c.mode;
    EXPECT_EQ(fake::open_files(), 1);
    EXPECT_EQ(write_text(file, "a\nb\r\n"), 5u) << c.mode;
    EXPECT_EQ(write_text(file, "\nend"), 4u) << c.mode;
    EXPECT_EQ(plat::stream_close(file), 0);
    EXPECT_EQ(fake::file_data("C:\\out.txt"), c.stored) << c.mode;
  }
  EXPECT_EQ(fake::open_handles(), 0);
}

TEST_F(runtime_streams, opening_for_writing_replaces_what_the_file_held) {
  fake::add_file("C:\\Data\\old.txt", "an older and longer content");
  plat::stream file = plat::stream_open("c:\\data\\OLD.TXT", "w");
  ASSERT_NE(file, nullptr);
  write_text(file, "new\n");
  plat::stream_close(file);
  EXPECT_EQ(fake::file_data("C:\\Data\\old.txt"), "new\r\n");
}

TEST_F(runtime_streams, a_file_that_cannot_be_opened_gives_null_and_the_reason) {
  fake::add_folder("C:\\Data\\folder");
  fake::fail_stream_open("C:\\Data\\denied.txt", plat::error_access_denied);
  plat::handle held = plat::create_file("C:\\Data\\held.txt", plat::generic_write, 0, plat::create_always, 0);
  struct open_case {
    const char* path;
    uint32_t code;
  } cases[] = {
      {"C:\\Data\\folder", plat::error_access_denied},
      {"C:\\Missing\\file.txt", plat::error_path_not_found},
      {"C:\\Data\\denied.txt", plat::error_access_denied},
      {"C:\\Data\\held.txt", plat::error_sharing_violation},
  };
  for (const open_case& c : cases) {
    EXPECT_EQ(plat::stream_open(c.path, "w"), nullptr) << c.path;
    EXPECT_EQ(plat::get_last_error(), c.code) << c.path;
  }
  EXPECT_FALSE(fake::file_exists("C:\\Data\\denied.txt"));
  plat::close_handle(held);
  EXPECT_EQ(fake::open_handles(), 0);
}

TEST_F(runtime_streams, a_full_file_takes_what_fits_and_reports_the_characters_stored_whole) {
  fake::limit_stream_file_size("C:\\small.txt", 5);
  plat::stream file = plat::stream_open("C:\\small.txt", "w");
  ASSERT_NE(file, nullptr);
  // "ab\ncd\n" becomes 8 bytes; 5 fit: "ab\r\n" and "c".
  EXPECT_EQ(write_text(file, "ab\ncd\n"), 4u);
  EXPECT_EQ(write_text(file, "e"), 0u);
  plat::stream_close(file);
  EXPECT_EQ(fake::file_data("C:\\small.txt"), "ab\r\nc");
}

TEST_F(runtime_streams, a_line_feed_that_only_half_fits_is_not_stored) {
  fake::limit_stream_file_size("C:\\small.txt", 3);
  plat::stream file = plat::stream_open("C:\\small.txt", "w");
  EXPECT_EQ(write_text(file, "ab\n"), 2u);
  plat::stream_close(file);
  EXPECT_EQ(fake::file_data("C:\\small.txt"), "ab");
}

}  // namespace
