// Discovery: which services are bound to a payload file, what is printed, and what the list records.
#include <cstdio>

#include "services/command_line.h"
#include "services/discovery.h"
#include "services/same_file.h"
#include "platform/command_line.h"
#include "platform/services.h"
#include "services_fixture.h"

namespace {

using discovery = services_machine;

struct guard_case {
  const char* name;
  const char* file_name;
  bool file_exists;
  bool looks;  // prints the header and asks the manager
};

class discovery_guard : public services_machine, public ::testing::WithParamInterface<guard_case> {};

TEST_P(discovery_guard, looks_only_at_executables_that_exist) {
  const guard_case& c = GetParam();
  if (c.file_exists) fake::add_file(destination_folder + c.file_name, "MZ");
  fake::add_service("Svc", "\"" + destination_folder + c.file_name + "\"", 4);
  EXPECT_TRUE(discover_services(&ctx, c.file_name));
  if (c.looks) {
    EXPECT_EQ(console_runs(), std::vector<console_run>{info("Discovering services for \"" + std::string(c.file_name) +
                                                            "\"...\n  Svc -> running\n")});
    EXPECT_EQ(ctx.services.count, 1u);
  } else {
    EXPECT_TRUE(console_runs().empty());
    EXPECT_TRUE(fake::service_calls().empty());
    EXPECT_EQ(ctx.services.count, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    names, discovery_guard,
    ::testing::Values(guard_case{"not_an_exe", "qor.ua.matrix2.dll", true, false},
                      guard_case{"shorter_than_four", "exe", true, false},
                      guard_case{"not_installed_yet", "qor.ua.matrix2.exe", false, false},
                      guard_case{"upper_case_extension", "QOR.UA.MATRIX2.EXE", true, true},
                      guard_case{"just_the_extension", ".exe", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct command_line_case {
  const char* name;
  std::string binary_path;
  bool bound;
};

class discovery_command_line : public services_machine, public ::testing::WithParamInterface<command_line_case> {};

TEST_P(discovery_command_line, binds_by_the_identity_of_the_first_word) {
  fake::add_file(server_path, "MZ");
  fake::add_file("C:\\Other\\qor.ua.matrix2.exe", "MZ");
  fake::add_path_alias("C:\\PROGRA~1", "C:\\Program Files");
  fake::add_service("Svc", GetParam().binary_path, 4);
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  std::string expected = "Discovering services for \"qor.ua.matrix2.exe\"...\n";
  if (GetParam().bound) expected += "  Svc -> running\n";
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(expected)});
  EXPECT_EQ(ctx.services.count, GetParam().bound ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    forms, discovery_command_line,
    ::testing::Values(
        command_line_case{"quoted_with_arguments", "\"" + server_path + "\" -service --port 4840", true},
        command_line_case{"other_letter_case", "\"c:\\PROGRAM FILES\\morvellan\\qor.ua\\MATRIX2\\QOR.UA.MATRIX2.EXE\"", true},
        command_line_case{"short_name_unquoted", "C:\\PROGRA~1\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe -s", true},
        command_line_case{"unquoted_with_a_blank_ends_at_the_blank", server_path, false},
        command_line_case{"unexpanded_variable", "\"%ProgramFiles%\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe\"", false},
        command_line_case{"empty", "", false},
        command_line_case{"same_name_in_another_folder", "C:\\Other\\qor.ua.matrix2.exe", false},
        command_line_case{"the_folder_itself", "\"C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\"", false},
        command_line_case{"not_in_the_code_page", "\"C:\\Program Files\\\x81\\qor.ua.matrix2.exe\"", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(discovery, two_services_of_one_file_in_enumeration_order_and_only_this_files_entries_printed) {
  fake::add_file(server_path, "MZ");
  record("qor.ua.matrix2.ctrl.exe", "Ctrl", 4);
  fake::add_service("Beta", "\"" + server_path + "\"", 1);
  fake::add_service("Other", "C:\\Windows\\System32\\svchost.exe -k netsvcs", 4);
  fake::add_service("Alpha", "\"" + server_path + "\" -instance 2", 7);
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("Discovering services for \"qor.ua.matrix2.exe\"...\n"
                                                          "  Beta -> stopped\n  Alpha -> paused\n")});
  EXPECT_EQ(recorded(), (std::vector<recorded_service>{
                            {"qor.ua.matrix2.ctrl.exe", "Ctrl", 4}, {server_file, "Beta", 1}, {server_file, "Alpha", 7}}));
}

TEST_F(discovery, opens_the_manager_and_each_service_for_what_it_needs_and_closes_in_reverse_order) {
  fake::add_file(server_path, "MZ");
  fake::add_service("Alpha", "\"" + server_path + "\"", 4);
  // The record, then the command line, an empty group, an empty dependency list, the account and the
  // display name, each with its terminator.
  size_t config_size = sizeof(plat::service_config) + server_path.size() + 3 + 1 + 2 + 12 + 6;
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(fake::service_calls(),
            (std::vector<std::string>{"OpenSCManagerW(0x00000004)", "EnumServicesStatusA(0)",
                                      "OpenServiceA(Alpha, 0x00000001)", "QueryServiceConfigA(0)",
                                      "QueryServiceConfigA(" + std::to_string(config_size) + ")",
                                      "CloseServiceHandle(Alpha)", "CloseServiceHandle(manager)"}));
}

TEST_F(discovery, services_that_cannot_be_opened_or_read_are_skipped_silently) {
  fake::add_file(server_path, "MZ");
  std::string command_line = "\"" + server_path + "\"";
  fake::add_service("Locked", command_line, 4);
  fake::add_service("NoConfig", command_line, 4);
  fake::add_service("Found", command_line, 4);
  fake::fail_service_call(fake::service_call::open_service, plat::error_access_denied, "Locked");
  fake::fail_service_call(fake::service_call::query_config, plat::error_access_denied, "NoConfig");
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("Discovering services for \"qor.ua.matrix2.exe\"...\n"
                                                          "  Found -> running\n")});
}

// Enough services with long names that a 16384-byte buffer takes several batches.
void add_filler_services(int count) {
  char name[64];
  for (int i = 0; i < count; i++) {
    snprintf(name, sizeof name, "Filler.Service.%03d", i);
    fake::add_service(name, "C:\\Windows\\System32\\svchost.exe -k group", 4,
                      std::string("A filler service with a display name of some length ") + name);
  }
}

int enumeration_calls() {
  int calls = 0;
  for (const std::string& call : fake::service_calls()) calls += call.rfind("EnumServicesStatusA", 0) == 0;
  return calls;
}

TEST_F(discovery, finds_services_in_every_batch_of_a_long_enumeration) {
  fake::add_file(server_path, "MZ");
  fake::add_service("First", "\"" + server_path + "\"", 4);
  add_filler_services(300);
  fake::add_service("Last", "\"" + server_path + "\"", 1);
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("Discovering services for \"qor.ua.matrix2.exe\"...\n"
                                                          "  First -> running\n  Last -> stopped\n")});
  EXPECT_GE(enumeration_calls(), 3);
}

// What the first batches found is kept and acted on, though the warning takes the place of its lines.
TEST_F(discovery, a_later_batch_that_fails_is_a_warning_and_keeps_what_earlier_batches_found) {
  fake::add_file(server_path, "MZ");
  fake::add_service("First", "\"" + server_path + "\"", 4);
  add_filler_services(300);
  fake::add_service("Last", "\"" + server_path + "\"", 4);
  fake::fail_enum_services_after(1, 1726);  // RPC_S_CALL_FAILED
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info("Discovering services for \"qor.ua.matrix2.exe\"...\n"),
                                                      warning("  failed to enum services: 0x000006be. Will attempt to continue...\n")}));
  EXPECT_EQ(enumeration_calls(), 2);
  ASSERT_EQ(ctx.services.count, 1u);
  EXPECT_STREQ(ctx.services.items[0].service_name, "First");
  EXPECT_EQ(ctx.services.items[0].state, 4u);
  EXPECT_EQ(fake::open_handles(), 0);
}

// Wine's answer when the services do not fit: a count of entries it never wrote. Reading them as written
// crashed the installer under Wine with four hundred services registered.
TEST_F(discovery, a_manager_that_asks_for_more_without_moving_on_ends_with_234_and_unwritten_entries_are_skipped) {
  fake::add_file(server_path, "MZ");
  fake::add_service("First", "\"" + server_path + "\"", 4);
  add_filler_services(300);
  fake::enum_services_like_wine(true);
  EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info("Discovering services for \"qor.ua.matrix2.exe\"...\n"),
                                                      warning("  failed to enum services: 0x000000ea. Will attempt to continue...\n")}));
  EXPECT_EQ(enumeration_calls(), 1);
  EXPECT_EQ(ctx.services.count, 0u);
}

TEST_F(discovery, a_manager_that_fails_is_a_warning_with_its_code) {
  for (fake::service_call call : {fake::service_call::open_manager, fake::service_call::enum_services}) {
    fake::reset();
    SetUp();
    fake::add_file(server_path, "MZ");
    fake::add_service("Svc", "\"" + server_path + "\"", 4);
    fake::fail_service_call(call, plat::error_access_denied);
    EXPECT_TRUE(discover_services(&ctx, server_file.c_str()));
    EXPECT_EQ(console_runs(), (std::vector<console_run>{info("Discovering services for \"qor.ua.matrix2.exe\"...\n"),
                                                        warning("  failed to enum services: 0x00000005. Will attempt to continue...\n")}));
    EXPECT_EQ(ctx.services.count, 0u);
    EXPECT_EQ(fake::open_handles(), 0);
  }
}

TEST_F(discovery, a_payload_path_that_does_not_fit_is_an_internal_error) {
  use_destination_of_length(259 - server_file.size() + 1);
  EXPECT_FALSE(discover_services(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{error("internal error\n")});
  EXPECT_TRUE(fake::service_calls().empty());
}

TEST_F(discovery, state_words) {
  const char* words[] = {"unknown", "stopped", "start pending", "stop pending", "running",
                         "continue pending", "pause pending", "paused", "unknown"};
  for (uint32_t state = 0; state <= 8; state++) EXPECT_STREQ(service_state_text(state), words[state]) << state;
}

// ---- the helpers discovery rests on ----------------------------------------------------------------------

using split = services_machine;

std::vector<std::string> words_of(const char* command_line, bool* ok) {
  uint32_t count = 0;
  char** block = split_command_line(command_line, &count);
  *ok = block != nullptr;
  std::vector<std::string> words;
  if (!block) return words;
  char* packed = reinterpret_cast<char*>(block + count);
  for (uint32_t i = 0; i < count; i++) {
    EXPECT_EQ(block[i], packed) << "words are packed in order right after the pointers";
    words.push_back(block[i]);
    packed += words.back().size() + 1;
  }
  plat::local_free(block);
  return words;
}

TEST_F(split, follows_the_systems_rules_and_keeps_the_code_page) {
  struct split_case {
    const char* command_line;
    std::vector<std::string> words;
  } cases[] = {
      {"\"C:\\Program Files\\a.exe\" -s \"two words\"", {"C:\\Program Files\\a.exe", "-s", "two words"}},
      {"C:\\Program Files\\a.exe", {"C:\\Program", "Files\\a.exe"}},
      {"C:\\a\\b.exe x\\\\\"y z\" \\\"q", {"C:\\a\\b.exe", "x\\y z", "\"q"}},
      {"\"C:\\caf\xe9\\\x80.exe\"", {"C:\\caf\xe9\\\x80.exe"}},
  };
  for (const split_case& c : cases) {
    bool ok = false;
    EXPECT_EQ(words_of(c.command_line, &ok), c.words) << c.command_line;
    EXPECT_TRUE(ok);
  }
}

TEST_F(split, an_empty_command_line_gives_the_running_program_and_not_a_payload) {
  bool ok = false;
  std::vector<std::string> words = words_of("", &ok);
  ASSERT_EQ(words.size(), 1u);
  EXPECT_NE(words[0], server_path);
}

TEST_F(split, every_failing_step_yields_null_and_releases_what_it_had) {
  bool ok = true;
  EXPECT_TRUE(words_of("\"C:\\\x81.exe\"", &ok).empty());
  EXPECT_FALSE(ok);
  for (int nth = 1; nth <= 3; nth++) {  // the UTF-16 copy, the split's own block, the word block
    fake::fail_local_alloc(nth);
    EXPECT_TRUE(words_of("\"C:\\a.exe\" -x", &ok).empty()) << nth;
    EXPECT_FALSE(ok) << nth;
    EXPECT_EQ(fake::open_handles(), 0) << nth;
  }
}

TEST_F(split, same_file_needs_both_paths_to_open) {
  fake::add_file(server_path, "MZ");
  EXPECT_TRUE(same_file(server_path.c_str(), server_path.c_str()));
  EXPECT_FALSE(same_file(server_path.c_str(), "C:\\missing.exe"));
  EXPECT_FALSE(same_file("C:\\missing.exe", server_path.c_str()));
  EXPECT_FALSE(same_file("C:\\missing.exe", "C:\\missing.exe"));
}

}  // namespace
