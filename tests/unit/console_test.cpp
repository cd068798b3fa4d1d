#include <string>

#include "core/console.h"
#include "fake_machine.h"

namespace {

using console_reporting = fresh_machine;

TEST_F(console_reporting, a_warning_completes_an_open_line_in_yellow_and_the_colours_come_back) {
  print_info("  service \"%s\"... ", "ZEVAREVI.MATRIX2");
  print_warning("failed: 0x%08lx. Will attempt to continue...\n", code_arg(1062));
  print_info("next\n");
  std::vector<fake::console_write> expected = {
      {0x07, "  service \"ZEVAREVI.MATRIX2\"... "},
      {0x0E, "failed: 0x00000426. Will attempt to continue...\n"},
      {0x07, "next\n"},
  };
  ASSERT_EQ(fake::console_writes().size(), expected.size());
  for (size_t i = 0; i < expected.size(); i++) {
    EXPECT_EQ(fake::console_writes()[i].attributes, expected[i].attributes) << i;
    EXPECT_EQ(fake::console_writes()[i].text, expected[i].text) << i;
  }
  EXPECT_EQ(fake::console_attributes(), 0x07);
}

TEST_F(console_reporting, warnings_and_errors_are_on_black_and_a_blue_background_returns_after_each) {
  fake::set_console(true, 0x1F);
  print_error("internal error\n");
  EXPECT_EQ(fake::console_attributes(), 0x1F);
  print_warning("careful\n");
  EXPECT_EQ(fake::console_attributes(), 0x1F);
  print_info("plain\n");
  ASSERT_EQ(fake::console_writes().size(), 3u);
  EXPECT_EQ(fake::console_writes()[0].attributes, 0x0C);
  EXPECT_EQ(fake::console_writes()[1].attributes, 0x0E);
  EXPECT_EQ(fake::console_writes()[2].attributes, 0x1F);
}

TEST_F(console_reporting, redirected_output_holds_the_same_bytes_without_any_colour) {
  fake::set_console(false, 0);
  print_info("Copying \"%s\"...", "qor.ua.matrix2.exe");
  print_error(" failed: 0x%08lx\n", code_arg(32));
  print_warning("  failed to enum services: 0x%08lx. Will attempt to continue...\n", code_arg(5));
  EXPECT_EQ(fake::console_text(),
            "Copying \"qor.ua.matrix2.exe\"... failed: 0x00000020\n"
            "  failed to enum services: 0x00000005. Will attempt to continue...\n");
  EXPECT_EQ(fake::console_attribute_changes(), 0);
}

TEST_F(console_reporting, unreadable_console_attributes_leave_the_text_uncoloured_and_the_console_unchanged) {
  fake::set_console(true, 0x2A);
  fake::fail_console_info(true);
  print_error("internal error\n");
  EXPECT_EQ(fake::console_attribute_changes(), 0);
  EXPECT_EQ(fake::console_attributes(), 0x2A);
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("internal error\n")});
}

TEST_F(console_reporting, text_longer_than_the_stack_buffer_comes_out_whole) {
  std::string path(700, 'p');
  print_error("Failed to create dir \"%s\": 0x%08lx\n", path.c_str(), code_arg(5));
  EXPECT_EQ(console_runs(), std::vector<console_run>{error("Failed to create dir \"" + path + "\": 0x00000005\n")});
}

TEST_F(console_reporting, codes_are_printed_as_eight_lowercase_hex_digits) {
  print_info("0x%08lx 0x%08lx\n", code_arg(0x8007000E), code_arg(0));
  EXPECT_EQ(fake::console_text(), "0x8007000e 0x00000000\n");
}

}  // namespace
