// Registering the server's service: when it is skipped, what is created, and how failures end the run.
#include "platform/services.h"
#include "services/registration.h"
#include "services_fixture.h"

namespace {

using registration = services_machine;

const char* const service_name = "ZEVAREVI.MATRIX2";
const char* const display_name = "qor VARAV server for MAZAK MAZATROL MATRIX2";
const char* const opening = "Registering service \"ZEVAREVI.MATRIX2\"...";

bool register_server(install_context* ctx, const char* arguments = "") {
  return register_service(ctx, server_file.c_str(), service_name, display_name, "", arguments);
}

TEST_F(registration, a_recorded_service_of_the_server_file_in_any_state_only_warns) {
  for (uint32_t state : {1u, 4u, 7u}) {
    fake::reset();
    service_list_release(&ctx.services);
    record("qor.ua.matrix2.ctrl.exe", "Ctrl", 4);
    record(server_file, "Another.Name", state);
    EXPECT_TRUE(register_server(&ctx)) << state;
    EXPECT_EQ(console_runs(), std::vector<console_run>{warning(
                                  "Other services were already registered. Will not register any new!\n")});
    EXPECT_TRUE(fake::service_calls().empty());
    EXPECT_EQ(ctx.services.count, 2u);
  }
}

TEST_F(registration, creates_an_automatic_local_system_service_with_the_quoted_path_and_records_it_last) {
  record("qor.ua.matrix2.ctrl.exe", "Ctrl", 4);
  record("QOR.UA.MATRIX2.EXE", "Other.Case", 4);  // the file names are compared byte for byte
  EXPECT_TRUE(register_server(&ctx));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(std::string(opening) + " ok\n")});
  fake::service_view created = fake::service(service_name);
  EXPECT_TRUE(created.exists);
  EXPECT_EQ(created.binary_path, "\"" + server_path + "\"");
  EXPECT_EQ(created.display_name, display_name);
  EXPECT_EQ(created.type, plat::service_win32_own_process);
  EXPECT_EQ(created.start_type, plat::service_auto_start);
  EXPECT_EQ(created.error_control, plat::service_error_normal);
  EXPECT_EQ(created.account, "");
  EXPECT_EQ(created.state, 1u) << "created, not started";
  EXPECT_EQ(recorded().back(), (recorded_service{server_file, service_name, 4}));
  EXPECT_EQ(ctx.services.count, 3u);
  EXPECT_EQ(fake::service_calls(),
            (std::vector<std::string>{"OpenSCManagerW(0x00000002)", "CreateServiceA(ZEVAREVI.MATRIX2, 0x000f01ff)",
                                      "ChangeServiceConfig2A()", "CloseServiceHandle(ZEVAREVI.MATRIX2)",
                                      "CloseServiceHandle(manager)"}));
}

TEST_F(registration, arguments_follow_the_quoted_path_only_when_there_are_some) {
  struct arguments_case {
    const char* arguments;
    std::string binary_path;
  } cases[] = {
      {nullptr, "\"" + server_path + "\""},
      {"", "\"" + server_path + "\""},
      {"-instance default", "\"" + server_path + "\" -instance default"},
  };
  for (const arguments_case& c : cases) {
    fake::reset();
    service_list_release(&ctx.services);
    EXPECT_TRUE(register_server(&ctx, c.arguments));
    EXPECT_EQ(fake::service(service_name).binary_path, c.binary_path);
  }
}

TEST_F(registration, a_command_line_over_259_characters_is_an_internal_error_on_the_open_line) {
  for (size_t path_length : {257u, 258u}) {  // quoted: 259 characters fit, 260 do not
    fake::reset();
    service_list_release(&ctx.services);
    use_destination_of_length(path_length - server_file.size());
    bool fits = path_length == 257;
    EXPECT_EQ(register_server(&ctx), fits) << path_length;
    std::vector<console_run> expected{info(std::string(opening) + " ok\n")};
    if (!fits) expected = {info(opening), error("internal error\n")};
    EXPECT_EQ(console_runs(), expected);
    EXPECT_EQ(fake::service(service_name).exists, fits);
  }
}

TEST_F(registration, a_manager_or_creation_failure_ends_the_run_and_records_nothing) {
  struct failure_case {
    const char* name;
    fake::service_call call;
    uint32_t code;
    const char* printed;
  } cases[] = {
      {"manager refused", fake::service_call::open_manager, 5, " failed: 0x00000005\n"},
      {"creation refused", fake::service_call::create, 1072, " failed: 0x00000430\n"},
  };
  for (const failure_case& c : cases) {
    fake::reset();
    fake::fail_service_call(c.call, c.code);
    EXPECT_FALSE(register_server(&ctx)) << c.name;
    EXPECT_EQ(console_runs(), (std::vector<console_run>{info(opening), error(c.printed)})) << c.name;
    EXPECT_EQ(ctx.services.count, 0u);
    EXPECT_EQ(fake::open_handles(), 0) << c.name;
  }
}

TEST_F(registration, the_name_taken_by_a_service_for_another_file_fails_with_1073) {
  fake::add_service(service_name, "\"C:\\Old\\qor.ua.matrix2.exe\"", 4);
  EXPECT_FALSE(register_server(&ctx));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info(opening), error(" failed: 0x00000431\n")}));
  EXPECT_EQ(fake::service(service_name).binary_path, "\"C:\\Old\\qor.ua.matrix2.exe\"");
}

TEST_F(registration, a_description_that_cannot_be_set_is_ignored) {
  fake::fail_service_call(fake::service_call::describe, 5);
  EXPECT_TRUE(register_server(&ctx));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(std::string(opening) + " ok\n")});
  EXPECT_EQ(recorded(), (std::vector<recorded_service>{{server_file, service_name, 4}}));
}

}  // namespace
