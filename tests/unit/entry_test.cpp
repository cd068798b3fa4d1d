#include <string>
#include <vector>

#include "core/entry.h"
#include "fake_machine.h"

namespace {

const std::vector<console_run> help_text = {
    info("qor installer 3.14.0.0, 32-bit\n\nOPTIONS\n  /help\n      show this help\n")};

int run_with(std::vector<std::string> args) {
  std::vector<char*> argv;
  std::string program = "qor-installer.exe";
  argv.push_back(program.data());
  for (std::string& a : args) argv.push_back(a.data());
  return installer_main(static_cast<int>(argv.size()), argv.data());
}

class help_mode : public fresh_machine, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(help_mode, prints_the_help_text_installs_nothing_and_exits_with_1) {
  EXPECT_EQ(run_with(GetParam()), 1);
  EXPECT_EQ(console_runs(), help_text);
  EXPECT_TRUE(fake::created_directory_calls().empty());
  EXPECT_FALSE(fake::folder_exists("C:\\Program Files\\Morvellan"));
}

INSTANTIATE_TEST_SUITE_P(
    recognised_and_unknown_arguments, help_mode,
    ::testing::Values(std::vector<std::string>{"/help"}, std::vector<std::string>{"-help"},
                      std::vector<std::string>{"help"}, std::vector<std::string>{"/?"},
                      std::vector<std::string>{"-?"}, std::vector<std::string>{"?"},
                      std::vector<std::string>{"/HELP"}, std::vector<std::string>{"--help"},
                      std::vector<std::string>{"/install"}, std::vector<std::string>{"x"},
                      std::vector<std::string>{""}, std::vector<std::string>{"x", "/help", "-?", "y"}));

using install_mode = fresh_machine;

TEST_F(install_mode, no_argument_installs_and_reports_success) {
  EXPECT_EQ(run_with({}), 0);
  std::string text = fake::console_text();
  EXPECT_EQ(text.substr(0, 31), "qor installer 3.14.0.0, 32-bit\n");
  EXPECT_EQ(text.substr(text.size() - 24), "installation SUCCEEDED!\n");
  EXPECT_TRUE(fake::folder_exists("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2"));
}

TEST_F(install_mode, an_empty_argument_vector_installs) {
  EXPECT_EQ(installer_main(0, nullptr), 0);
  EXPECT_TRUE(fake::folder_exists("C:\\Program Files\\Morvellan\\QOR.UA\\matrix2"));
}

TEST_F(install_mode, a_failed_installation_ends_with_the_failure_line_at_info_level_and_status_1) {
  fake::unset_env("ProgramFiles");
  EXPECT_EQ(run_with({}), 1);
  std::vector<console_run> expected = {
      info("qor installer 3.14.0.0, 32-bit\nos 6.1.7601.24059 => crt \"current\"\n"),
      error("Failed to get \"Program Files\": 0x000000cb\n"),
      info("installation FAILED.\n"),
  };
  EXPECT_EQ(console_runs(), expected);
}

}  // namespace
