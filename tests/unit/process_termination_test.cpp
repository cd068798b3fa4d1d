// Killing the processes that run a payload file.
#include "platform/processes.h"
#include "services/process_termination.h"
#include "services_fixture.h"

namespace {

using termination = services_machine;

const char* const checking = "Checking processes for \"qor.ua.matrix2.exe\"...\n";

TEST_F(termination, nothing_to_look_at_prints_nothing_and_lists_nothing) {
  fake::add_process(server_path);
  for (const char* file_name : {"qor.ua.matrix2.exe", "qor.ua.matrix2.cfg"}) {
    EXPECT_TRUE(terminate_payload_processes(&ctx, file_name)) << file_name;
    fake::add_file(destination_folder + "qor.ua.matrix2.cfg");
  }
  EXPECT_TRUE(console_runs().empty());
  EXPECT_TRUE(fake::enum_processes_sizes().empty());
}

TEST_F(termination, kills_every_process_of_the_file_by_identity_and_leaves_other_copies_alone) {
  fake::add_file(server_path, "MZ");
  fake::add_file("C:\\Other\\qor.ua.matrix2.exe", "MZ");
  fake::add_path_alias("C:\\PROGRA~1", "C:\\Program Files");
  uint32_t system = fake::add_process("C:\\Windows\\System32\\smss.exe");
  uint32_t first = fake::add_process(server_path);
  uint32_t copy = fake::add_process("C:\\Other\\qor.ua.matrix2.exe");
  uint32_t short_name = fake::add_process("C:\\PROGRA~1\\MORVELLAN\\QOR.UA\\MATRIX2\\QOR.UA.MATRIX2.EXE");
  EXPECT_TRUE(terminate_payload_processes(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(std::string(checking) + "  will kill process 8... ok\n" +
                                                          "  will kill process 16... ok\n")});
  EXPECT_TRUE(fake::process_running(system));
  EXPECT_FALSE(fake::process_running(first));
  EXPECT_TRUE(fake::process_running(copy));
  EXPECT_FALSE(fake::process_running(short_name));
}

TEST_F(termination, a_full_identifier_buffer_doubles_until_the_list_fits) {
  fake::add_file(server_path, "MZ");
  for (int i = 0; i < 255; i++) fake::add_process("C:\\Windows\\System32\\svchost.exe");
  uint32_t last = fake::add_process(server_path);  // the 256th
  EXPECT_TRUE(terminate_payload_processes(&ctx, server_file.c_str()));
  EXPECT_EQ(fake::enum_processes_sizes(), (std::vector<uint32_t>{1024, 2048}));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(std::string(checking) + "  will kill process 1024... ok\n")});
  EXPECT_FALSE(fake::process_running(last));
}

TEST_F(termination, processes_that_cannot_be_looked_into_are_passed_over_silently) {
  fake::add_file(server_path, "MZ");
  uint32_t hidden = fake::add_process(server_path);
  uint32_t nameless = fake::add_process(server_path);
  fake::fail_process(hidden, fake::process_fault::open_query, 5);
  fake::fail_process(nameless, fake::process_fault::module_name, 299);
  EXPECT_TRUE(terminate_payload_processes(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(checking)});
  EXPECT_TRUE(fake::process_running(hidden));
  EXPECT_TRUE(fake::process_running(nameless));
}

TEST_F(termination, a_process_that_cannot_be_killed_completes_its_line_with_a_warning_and_the_next_follows) {
  for (fake::process_fault fault : {fake::process_fault::open_terminate, fake::process_fault::terminate}) {
    fake::reset();
    SetUp();
    fake::add_file(server_path, "MZ");
    uint32_t stubborn = fake::add_process(server_path);
    uint32_t next = fake::add_process(server_path);
    fake::fail_process(stubborn, fault, 5);
    EXPECT_TRUE(terminate_payload_processes(&ctx, server_file.c_str()));
    EXPECT_EQ(console_runs(), (std::vector<console_run>{
                                  info(std::string(checking) + "  will kill process 4... "),
                                  warning("failed: 0x00000005. Will attempt to continue...\n"),
                                  info("  will kill process 8... ok\n")}));
    EXPECT_TRUE(fake::process_running(stubborn));
    EXPECT_FALSE(fake::process_running(next));
    EXPECT_EQ(fake::open_handles(), 0);
  }
}

TEST_F(termination, a_listing_that_fails_warns_with_its_code_and_one_without_a_code_finds_nothing) {
  for (uint32_t code : {5u, 0u}) {
    fake::reset();
    SetUp();
    fake::add_file(server_path, "MZ");
    uint32_t running = fake::add_process(server_path);
    fake::fail_enum_processes(code);
    EXPECT_TRUE(terminate_payload_processes(&ctx, server_file.c_str()));
    std::vector<console_run> expected{info(checking)};
    if (code) expected.push_back(warning("  failed to enum processes: 0x00000005. Will attempt to continue...\n"));
    EXPECT_EQ(console_runs(), expected) << code;
    EXPECT_TRUE(fake::process_running(running));
  }
}

TEST_F(termination, a_payload_path_that_does_not_fit_is_an_internal_error) {
  use_destination_of_length(259 - server_file.size() + 1);
  EXPECT_FALSE(terminate_payload_processes(&ctx, server_file.c_str()));
  EXPECT_EQ(console_runs(), std::vector<console_run>{error("internal error\n")});
  EXPECT_TRUE(fake::enum_processes_sizes().empty());
}

}  // namespace
