// The whole installation sequence: every stage in its place, what a failure leaves behind, and the
// update of an installation that runs.
#include "core/install.h"
#include "platform/fake/fake.h"
#include "services_fixture.h"

namespace {

using installation = services_machine;

const std::string head = "os 6.1.7601.24059 => crt \"current\"\nDestination: " + destination_folder + "\n";
const std::string server_command_line = "\"" + server_path + "\"";
const std::string ctrl_path = destination_folder + "qor.ua.matrix2.ctrl.exe";
const std::string dev_path = destination_folder + "qor.ua.matrix2.dev.exe";
const std::string copying_ok = "Copying \"qor.ua.matrix2.ctrl.exe\"... ok\n"
                               "Copying \"qor.ua.matrix2.dev.exe\"... ok\n"
                               "Copying \"qor.ua.matrix2.exe\"... ok\n";
const std::string firewall_ok = "Will configure firewall...\n  exception for \"qor.ua.matrix2.exe\"... ok\n";
const std::string start_server_ok = "Will start services...\n  service \"ZEVAREVI.MATRIX2\"... ok\n";

TEST_F(installation, a_clean_run_deploys_everything_registers_the_server_and_starts_it_last) {
  EXPECT_TRUE(install_run(&ctx));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(head + copying_ok + "Generating default certificate... ok\n" +
                                                          "Registering service \"ZEVAREVI.MATRIX2\"... ok\n" +
                                                          firewall_ok + start_server_ok)});
  EXPECT_EQ(fake::file_data(server_path), fake::default_payload(103));
  EXPECT_TRUE(fake::file_exists(destination_folder + "instances\\default\\.key"));
  EXPECT_TRUE(fake::file_exists(destination_folder + "instances\\default\\.cert"));
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").state, 4u);
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").binary_path, server_command_line);
  EXPECT_EQ(recorded(), (std::vector<recorded_service>{{server_file, "ZEVAREVI.MATRIX2", 4}}));
}

TEST_F(installation, an_update_stops_the_running_server_kills_a_tool_replaces_the_files_and_starts_it_again) {
  fake::add_file(server_path, "old server");
  fake::add_file(ctrl_path, "old tool");
  fake::add_file(destination_folder + "instances\\default\\.key", "key");
  fake::add_file(destination_folder + "instances\\default\\.cert", "cert");
  fake::add_service("ZEVAREVI.MATRIX2", server_command_line, 4);
  fake::add_service("Old.Stopped", server_command_line, 1);
  fake::script_stop("ZEVAREVI.MATRIX2", 2000, 1500);
  uint32_t tool = fake::add_process(ctrl_path);
  EXPECT_TRUE(install_run(&ctx));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{
                                info(head + "Discovering services for \"qor.ua.matrix2.ctrl.exe\"...\n"
                                            "Discovering services for \"qor.ua.matrix2.exe\"...\n"
                                            "  ZEVAREVI.MATRIX2 -> running\n  Old.Stopped -> stopped\n"
                                            "Will stop services...\n  service \"ZEVAREVI.MATRIX2\"... ok\n"
                                            "Checking processes for \"qor.ua.matrix2.ctrl.exe\"...\n"
                                            "  will kill process 4... ok\n"
                                            "Checking processes for \"qor.ua.matrix2.exe\"...\n" +
                                     copying_ok +
                                     "Generating default certificate...\n  default certificate exists already. Will skip.\n"),
                                warning("Other services were already registered. Will not register any new!\n"),
                                info(firewall_ok + start_server_ok)}));
  EXPECT_EQ(fake::sleeps(), std::vector<uint32_t>{2000});
  EXPECT_FALSE(fake::process_running(tool));
  EXPECT_EQ(fake::file_data(ctrl_path), fake::default_payload(101));
  EXPECT_EQ(fake::file_data(destination_folder + "instances\\default\\.key"), "key");
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").state, 4u);
  EXPECT_EQ(fake::service("Old.Stopped").state, 1u);
}

TEST_F(installation, a_payload_that_fails_ends_the_run_and_the_stopped_server_stays_stopped) {
  fake::add_file(server_path, "previous server");
  fake::add_service("ZEVAREVI.MATRIX2", server_command_line, 4);
  fake::add_resource(1001, 102, "corrupt");
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{
                                info(head + "Discovering services for \"qor.ua.matrix2.exe\"...\n"
                                            "  ZEVAREVI.MATRIX2 -> running\n"
                                            "Will stop services...\n  service \"ZEVAREVI.MATRIX2\"... ok\n"
                                            "Checking processes for \"qor.ua.matrix2.exe\"...\n"
                                            "Copying \"qor.ua.matrix2.ctrl.exe\"... ok\n"
                                            "Copying \"qor.ua.matrix2.dev.exe\"..."),
                                error(" failed: 0x00000570\n")}));
  EXPECT_EQ(fake::file_data(ctrl_path), fake::default_payload(101));
  EXPECT_EQ(fake::file_data(dev_path), "");  // created, nothing written: the stream broke in the first chunk
  EXPECT_EQ(fake::file_data(server_path), "previous server");
  EXPECT_FALSE(fake::file_exists(destination_folder + "instances\\default\\.key"));
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").state, 1u);
}

TEST_F(installation, the_server_name_taken_by_another_file_fails_the_run_before_firewall_and_start) {
  fake::add_service("ZEVAREVI.MATRIX2", "\"C:\\Old\\qor.ua.matrix2.exe\"", 4);
  EXPECT_FALSE(install_run(&ctx));
  EXPECT_EQ(console_runs(),
            (std::vector<console_run>{info(head + copying_ok + "Generating default certificate... ok\n" +
                                           "Registering service \"ZEVAREVI.MATRIX2\"..."),
                                      error(" failed: 0x00000431\n")}));
  EXPECT_EQ(ctx.services.count, 0u);
}

TEST_F(installation, com_that_cannot_be_initialised_is_only_a_warning_and_the_server_still_starts) {
  fake::set_com_initialize_result(static_cast<int32_t>(0x80004005));
  EXPECT_TRUE(install_run(&ctx));
  EXPECT_EQ(console_runs(),
            (std::vector<console_run>{info(head + copying_ok + "Generating default certificate... ok\n" +
                                           "Registering service \"ZEVAREVI.MATRIX2\"... ok\nWill configure firewall...\n"),
                                      warning("  CoInitializeEx failed: 0x80004005. Will attempt to continue...\n"),
                                      info(start_server_ok)}));
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").state, 4u);
}

}  // namespace
