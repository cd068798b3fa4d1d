// The service and process stages in their places in the whole run.
#include "core/install.h"
#include "services_fixture.h"

namespace {

using install_services = services_machine;

const std::string head = "os 6.1.7601.24059 => crt \"current\"\nDestination: " + destination_folder + "\n";
const std::string server_command_line = "\"" + server_path + "\"";

TEST_F(install_services, a_clean_run_registers_the_server_and_starts_it_last) {
  install_context run{};
  EXPECT_TRUE(install_run(&run));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(head + "Registering service \"ZEVAREVI.MATRIX2\"... ok\n"
                                                             "Will start services...\n"
                                                             "  service \"ZEVAREVI.MATRIX2\"... ok\n")});
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").state, 4u);
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").binary_path, server_command_line);
  service_list_release(&run.services);
}

TEST_F(install_services, a_reinstall_stops_the_running_server_kills_the_tools_warns_and_starts_it_again) {
  fake::add_file(server_path, "MZ");
  fake::add_file(destination_folder + "qor.ua.matrix2.ctrl.exe", "MZ");
  fake::add_service("ZEVAREVI.MATRIX2", server_command_line, 4);
  fake::add_service("Old.Stopped", server_command_line, 1);
  fake::script_stop("ZEVAREVI.MATRIX2", 2000, 1500);
  uint32_t tool = fake::add_process(destination_folder + "qor.ua.matrix2.ctrl.exe");
  install_context run{};
  EXPECT_TRUE(install_run(&run));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{
                                info(head + "Discovering services for \"qor.ua.matrix2.ctrl.exe\"...\n"
                                            "Discovering services for \"qor.ua.matrix2.exe\"...\n"
                                            "  ZEVAREVI.MATRIX2 -> running\n  Old.Stopped -> stopped\n"
                                            "Will stop services...\n  service \"ZEVAREVI.MATRIX2\"... ok\n"
                                            "Checking processes for \"qor.ua.matrix2.ctrl.exe\"...\n"
                                            "  will kill process 4... ok\n"
                                            "Checking processes for \"qor.ua.matrix2.exe\"...\n"),
                                warning("Other services were already registered. Will not register any new!\n"),
                                info("Will start services...\n  service \"ZEVAREVI.MATRIX2\"... ok\n")}));
  EXPECT_EQ(fake::sleeps(), std::vector<uint32_t>{2000});
  EXPECT_FALSE(fake::process_running(tool));
  EXPECT_EQ(fake::service("ZEVAREVI.MATRIX2").state, 4u);
  EXPECT_EQ(fake::service("Old.Stopped").state, 1u);
  service_list_release(&run.services);
}

TEST_F(install_services, the_server_name_taken_by_another_file_fails_the_run_before_any_start) {
  fake::add_service("ZEVAREVI.MATRIX2", "\"C:\\Old\\qor.ua.matrix2.exe\"", 4);
  install_context run{};
  EXPECT_FALSE(install_run(&run));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info(head + "Registering service \"ZEVAREVI.MATRIX2\"..."),
                                                      error(" failed: 0x00000431\n")}));
  EXPECT_EQ(run.services.count, 0u);
}

}  // namespace
