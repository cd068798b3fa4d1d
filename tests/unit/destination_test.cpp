#include <cstring>
#include <string>

#include "core/console.h"
#include "core/destination.h"
#include "core/install.h"
#include "core/path.h"
#include "fake_machine.h"

namespace {

const char* const os_line = "os 6.1.7601.24059 => crt \"current\"\n";

// A ProgramFiles value (without trailing backslash) that makes the destination exactly `length` characters:
// the value, "\", and "Morvellan\QOR.UA\matrix2\" (25 characters).
std::string program_files_for_destination(size_t length) { return "C:\\" + std::string(length - 26 - 3, 'x'); }

// The console text up to the destination's line; the stages after it add their own lines.
std::string text_through_destination() {
  std::string text = fake::console_text();
  size_t line = text.find("Destination: ");
  return line == std::string::npos ? text : text.substr(0, text.find('\n', line) + 1);
}

struct program_files_case {
  const char* name;
  const char* value;  // null: the variable is absent
  const char* destination;
};

class program_files_value : public fresh_machine, public ::testing::WithParamInterface<program_files_case> {};

TEST_P(program_files_value, gives_the_destination_and_creates_its_three_folders) {
  const program_files_case& c = GetParam();
  fake::set_env("ProgramFiles", c.value);
  install_context ctx{};
  EXPECT_TRUE(install_run(&ctx));
  EXPECT_STREQ(ctx.destination, c.destination);
  EXPECT_EQ(text_through_destination(), std::string(os_line) + "Destination: " + c.destination + "\n");
  EXPECT_TRUE(fake::folder_exists(c.destination));
}

INSTANTIATE_TEST_SUITE_P(
    values, program_files_value,
    ::testing::Values(
        program_files_case{"plain", "C:\\Program Files", "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\"},
        program_files_case{"trailing_backslash", "C:\\Program Files\\", "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\"},
        program_files_case{"drive_root", "C:\\", "C:\\Morvellan\\QOR.UA\\matrix2\\"},
        program_files_case{"empty_means_the_root_of_the_current_drive", "", "\\Morvellan\\QOR.UA\\matrix2\\"}),
    [](const auto& info) { return std::string(info.param.name); });

using destination = fresh_machine;

TEST_F(destination, existing_folders_are_fine_and_only_the_destination_line_is_printed) {
  fake::add_folder("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2");
  install_context ctx{};
  EXPECT_TRUE(install_run(&ctx));
  EXPECT_EQ(text_through_destination(),
            std::string(os_line) + "Destination: C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\\n");
  EXPECT_EQ(console_runs().size(), 1u);  // all of it at info level
}

TEST_F(destination, an_absent_program_files_variable_fails_with_its_code) {
  fake::unset_env("ProgramFiles");
  install_context ctx{};
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info(os_line), error("Failed to get \"Program Files\": 0x000000cb\n")}));
  EXPECT_TRUE(fake::created_directory_calls().empty());
}

TEST_F(destination, a_program_files_value_too_long_for_the_buffer_is_an_internal_error) {
  for (size_t length : {260u, 400u}) {
    fake::reset();
    fake::set_env("ProgramFiles", "C:\\" + std::string(length - 3, 'p'));
    install_context ctx{};
    EXPECT_FALSE(install_run(&ctx)) << length;
    EXPECT_EQ(console_runs(), (std::vector<console_run>{info(os_line), error("internal error\n")})) << length;
    EXPECT_TRUE(fake::created_directory_calls().empty());
  }
}

TEST_F(destination, a_missing_program_files_folder_names_the_makers_folder_and_the_code) {
  fake::set_env("ProgramFiles", "D:\\Programs");
  install_context ctx{};
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(),
            (std::vector<console_run>{info(os_line), error("Failed to create dir \"D:\\Programs\\Morvellan\": 0x00000003\n")}));
}

TEST_F(destination, a_folder_that_cannot_be_created_stops_there_and_keeps_the_folders_before_it) {
  fake::fail_create_directory("C:\\Program Files\\Morvellan\\QOR.UA", 5);
  install_context ctx{};
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(),
            (std::vector<console_run>{
                info(os_line), error("Failed to create dir \"C:\\Program Files\\Morvellan\\QOR.UA\": 0x00000005\n")}));
  EXPECT_TRUE(fake::folder_exists("C:\\Program Files\\Morvellan"));
  EXPECT_EQ(fake::created_directory_calls().size(), 2u);
}

TEST_F(destination, a_last_error_of_zero_after_a_failed_creation_counts_as_success) {
  fake::add_folder("C:\\Program Files\\Morvellan");
  fake::fail_create_directory("C:\\Program Files\\Morvellan", 0);
  install_context ctx{};
  EXPECT_TRUE(install_run(&ctx));
}

TEST_F(destination, lengths_up_to_259_characters_fit_and_260_is_an_internal_error_after_the_folders) {
  for (size_t length : {258u, 259u}) {
    fake::reset();
    std::string pf = program_files_for_destination(length);
    fake::add_folder(pf);
    fake::set_env("ProgramFiles", pf);
    install_context ctx{};
    // Only the destination is checked: it leaves no room for a payload's file name.
    EXPECT_TRUE(read_program_files(&ctx) && prepare_destination(&ctx)) << length;
    EXPECT_EQ(strlen(ctx.destination), length);
  }
  fake::reset();
  std::string pf = program_files_for_destination(260);
  fake::add_folder(pf);
  fake::set_env("ProgramFiles", pf);
  install_context ctx{};
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info(os_line), error("internal error\n")}));
  EXPECT_TRUE(fake::folder_exists(pf + "\\Morvellan\\QOR.UA\\matrix2"));
}

TEST_F(destination, an_overflow_before_the_first_folder_creates_nothing) {
  std::string pf = "C:\\" + std::string(250, 'x');
  fake::add_folder(pf);
  fake::set_env("ProgramFiles", pf);
  install_context ctx{};
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info(os_line), error("internal error\n")}));
  EXPECT_TRUE(fake::created_directory_calls().empty());
}

// ---- ensure_parent_folders and the path rule ------------------------------------------------------------

class below_destination : public fresh_machine {
 protected:
  void SetUp() override {
    fresh_machine::SetUp();
    fake::add_folder("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2");
    strcpy(ctx.destination, "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\");
  }
  install_context ctx{};
};

TEST_F(below_destination, creates_each_folder_of_a_relative_path_but_not_its_file) {
  EXPECT_TRUE(ensure_parent_folders(&ctx, "instances\\default\\.cert"));
  EXPECT_TRUE(fake::folder_exists("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances\\default"));
  EXPECT_FALSE(fake::folder_exists("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances\\default\\.cert"));
  EXPECT_TRUE(ensure_parent_folders(&ctx, "instances\\default\\.key"));
  EXPECT_EQ(fake::created_directory_calls(),
            (std::vector<std::string>{"C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances",
                                      "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances\\default",
                                      "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances",
                                      "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances\\default"}));
  EXPECT_TRUE(fake::console_writes().empty());
}

TEST_F(below_destination, a_bare_file_name_creates_nothing) {
  EXPECT_TRUE(ensure_parent_folders(&ctx, "qor.ua.matrix2.exe"));
  EXPECT_TRUE(fake::created_directory_calls().empty());
}

TEST_F(below_destination, a_folder_failure_stands_indented_on_a_line_of_its_own) {
  fake::fail_create_directory("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances\\default", 5);
  print_info("Generating default certificate...");
  EXPECT_FALSE(ensure_parent_folders(&ctx, "instances\\default\\.cert"));
  EXPECT_EQ(console_runs(),
            (std::vector<console_run>{
                info("Generating default certificate...\n  "),
                error("Failed to create dir \"C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\instances\\default\": "
                      "0x00000005\n")}));
}

TEST_F(below_destination, a_folder_that_does_not_fit_is_an_internal_error) {
  std::string dest = "C:\\" + std::string(250, 'd') + "\\";
  strcpy(ctx.destination, dest.c_str());
  EXPECT_FALSE(ensure_parent_folders(&ctx, "instances\\default\\.cert"));
  EXPECT_EQ(console_runs(), std::vector<console_run>{error("internal error\n")});
  EXPECT_TRUE(fake::created_directory_calls().empty());
}

TEST_F(below_destination, a_path_of_259_characters_fits_and_one_more_does_not) {
  std::string dest = "C:\\" + std::string(240, 'd') + "\\";  // 244 characters
  strcpy(ctx.destination, dest.c_str());
  char out[plat::max_path];
  EXPECT_TRUE(path_below_destination(&ctx, std::string(15, 'f').c_str(), out));
  EXPECT_EQ(strlen(out), 259u);
  memset(out, 'z', sizeof out);
  EXPECT_FALSE(path_below_destination(&ctx, std::string(16, 'f').c_str(), out));
  EXPECT_EQ(console_runs(), std::vector<console_run>{error("internal error\n")});
}

}  // namespace
