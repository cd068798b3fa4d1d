// Stopping the running services and starting them again: which services, the waits, and the outcomes.
#include "platform/services.h"
#include "services/service_control.h"
#include "services_fixture.h"

namespace {

using service_control = services_machine;

const char* const ok_line = "ok\n";

std::vector<console_run> one_service(const char* header, const char* name, const console_run& outcome) {
  std::vector<console_run> runs{info(std::string(header) + "  service \"" + name + "\"... ")};
  if (outcome.lvl == level::info) runs.back().text += outcome.text;
  else runs.push_back(outcome);
  return runs;
}

console_run failed(const char* code) {
  return warning(std::string("failed: ") + code + ". Will attempt to continue...\n");
}

TEST_F(service_control, nothing_running_prints_nothing_and_calls_nobody) {
  for (bool with_entries : {false, true}) {
    if (with_entries) {
      record(server_file, "Stopped", 1);
      record(server_file, "Paused", 7);
      record(server_file, "Pending", 2);
    }
    EXPECT_TRUE(stop_running_services(&ctx));
    EXPECT_TRUE(start_recorded_services(&ctx));
    EXPECT_TRUE(console_runs().empty());
    EXPECT_TRUE(fake::service_calls().empty());
  }
}

struct stop_case {
  const char* name;
  uint32_t wait_hint;
  uint32_t stops_after;
  std::vector<uint32_t> sleeps;
  const char* code;  // null: stopped
};

class stop_wait : public services_machine, public ::testing::WithParamInterface<stop_case> {};

TEST_P(stop_wait, sleeps_the_wait_hint_and_gives_up_30000_ms_after_the_request) {
  const stop_case& c = GetParam();
  fake::add_service("Svc", "\"" + server_path + "\"", 4);
  fake::script_stop("Svc", c.wait_hint, c.stops_after);
  record(server_file, "Svc", 4);
  EXPECT_TRUE(stop_running_services(&ctx));
  EXPECT_EQ(console_runs(), one_service("Will stop services...\n", "Svc", c.code ? failed(c.code) : info(ok_line)));
  std::vector<uint32_t> sleeps = fake::sleeps();
  if (c.sleeps.size() == 1 && c.sleeps[0] == 0 && c.code) {
    EXPECT_EQ(sleeps.size(), 30001u);  // a query without pause costs a millisecond of virtual time
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 0u), 30001);
  } else {
    EXPECT_EQ(sleeps, c.sleeps);
  }
  EXPECT_EQ(ctx.services.items[0].state, 4u) << "the stop stage leaves the list as discovery made it";
}

INSTANTIATE_TEST_SUITE_P(
    hints, stop_wait,
    ::testing::Values(stop_case{"stopped_in_the_reply", 3000, 0, {}, nullptr},
                      stop_case{"hint_0_queries_without_pause", 0, 5, {0, 0, 0, 0, 0}, nullptr},
                      stop_case{"hint_0_never_stopping", 0, fake::never, {0}, "0x00000507"},
                      stop_case{"stops_after_the_third_sleep", 1000, 2500, {1000, 1000, 1000}, nullptr},
                      stop_case{"limit_seen_only_after_a_query", 10000, fake::never, {10000, 10000, 10000}, "0x00000507"},
                      stop_case{"hint_45000_stops_in_the_first_sleep", 45000, 40000, {45000}, nullptr},
                      stop_case{"hint_45000_never_stopping", 45000, fake::never, {45000}, "0x00000507"},
                      stop_case{"unbounded_hint_sleeps_60000_at_most", 0xFFFFFFFF, fake::never, {60000}, "0x00000507"}),
    [](const auto& info) { return std::string(info.param.name); });

struct start_case {
  const char* name;
  uint32_t wait_hint;
  uint32_t settles_after;
  uint32_t settled_state;
  uint32_t check_point_every;
  std::vector<uint32_t> sleeps;
  const char* code;  // null: running
};

class start_wait : public services_machine, public ::testing::WithParamInterface<start_case> {};

TEST_P(start_wait, polls_a_tenth_of_the_hint_and_gives_up_when_progress_stalls) {
  const start_case& c = GetParam();
  fake::add_service("Svc", "\"" + server_path + "\"", 1);
  fake::script_start("Svc", c.wait_hint, c.settles_after, c.settled_state, c.check_point_every);
  record(server_file, "Svc", 4);
  EXPECT_TRUE(start_recorded_services(&ctx));
  EXPECT_EQ(console_runs(), one_service("Will start services...\n", "Svc", c.code ? failed(c.code) : info(ok_line)));
  EXPECT_EQ(fake::sleeps(), c.sleeps);
}

INSTANTIATE_TEST_SUITE_P(
    hints, start_wait,
    ::testing::Values(
        start_case{"running_at_the_first_query", 5000, 0, 4, 0, {}, nullptr},
        start_case{"hint_5000_polls_every_1000", 5000, 2500, 4, 0, {1000, 1000, 1000}, nullptr},
        start_case{"hint_30000_polls_every_3000", 30000, 4000, 4, 0, {3000, 3000}, nullptr},
        start_case{"hint_200000_polls_every_10000", 200000, 15000, 4, 0, {10000, 10000}, nullptr},
        start_case{"stalled_longer_than_the_hint", 5000, fake::never, 4, 0, std::vector<uint32_t>(5, 1000), "0x00000507"},
        start_case{"rising_check_point_has_no_limit", 2000, 60000, 4, 500, std::vector<uint32_t>(60, 1000), nullptr},
        start_case{"stops_again_while_starting", 5000, 3000, 1, 0, {1000, 1000, 1000}, "0x00000507"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(service_control, each_service_in_list_order_with_its_own_handles_closed_in_reverse_order) {
  fake::add_service("Alpha", "\"" + server_path + "\"", 4);
  fake::add_service("Beta", "\"" + server_path + "\"", 4);
  record(server_file, "Beta", 4);
  record(server_file, "Gamma", 1);
  record(server_file, "Alpha", 4);
  EXPECT_TRUE(stop_running_services(&ctx));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("Will stop services...\n  service \"Beta\"... ok\n"
                                                          "  service \"Alpha\"... ok\n")});
  EXPECT_EQ(fake::service_calls(),
            (std::vector<std::string>{"OpenSCManagerW(0x000f003f)", "OpenServiceA(Beta, 0x00000024)", "ControlService(Beta, 1)",
                                      "CloseServiceHandle(Beta)", "CloseServiceHandle(manager)",
                                      "OpenSCManagerW(0x000f003f)", "OpenServiceA(Alpha, 0x00000024)", "ControlService(Alpha, 1)",
                                      "CloseServiceHandle(Alpha)", "CloseServiceHandle(manager)"}));
  EXPECT_EQ(fake::service("Alpha").state, 1u);
  EXPECT_EQ(fake::service("Beta").state, 1u);
  EXPECT_TRUE(start_recorded_services(&ctx));
  EXPECT_EQ(fake::service("Alpha").state, 4u);
  EXPECT_EQ(fake::service("Beta").state, 4u);
  EXPECT_EQ(fake::service_calls()[11], "OpenServiceA(Beta, 0x00000014)");
  EXPECT_EQ(fake::service_calls()[12], "StartServiceW(Beta)");
}

TEST_F(service_control, failures_are_warnings_and_the_next_service_follows) {
  struct failure_case {
    const char* name;
    bool stop_stage;
    uint32_t state;  // of "Svc" in the manager; 0: it does not exist
    bool inject;     // whether `call` fails with `code`
    fake::service_call call;
    uint32_t code;
    const char* printed;
  } cases[] = {
      {"manager refused", true, 4, true, fake::service_call::open_manager, 5, "0x00000005"},
      {"no such service", true, 0, false, {}, 0, "0x00000424"},
      {"may not control", true, 4, true, fake::service_call::open_service, 5, "0x00000005"},
      {"stop refused", true, 4, true, fake::service_call::control, 1052, "0x0000041c"},
      {"status query fails", true, 4, true, fake::service_call::query_status, 6, "0x00000006"},
      {"start: manager refused", false, 1, true, fake::service_call::open_manager, 5, "0x00000005"},
      {"start: no such service", false, 0, false, {}, 0, "0x00000424"},
      {"start: may not start", false, 1, true, fake::service_call::open_service, 5, "0x00000005"},
      {"already running", false, 4, false, {}, 0, "0x00000420"},
      {"start refused", false, 1, true, fake::service_call::start, 1053, "0x0000041d"},
      {"start status fails", false, 1, true, fake::service_call::query_status, 6, "0x00000006"},
  };
  for (const failure_case& c : cases) {
    fake::reset();
    service_list_release(&ctx.services);
    if (c.state) fake::add_service("Svc", "\"" + server_path + "\"", c.state);
    if (c.state && c.stop_stage) fake::script_stop("Svc", 1000, 5000);
    fake::add_service("Next", "\"" + server_path + "\"", c.stop_stage ? 4 : 1);
    if (c.inject) fake::fail_service_call(c.call, c.code, "Svc");
    bool manager_refused = c.inject && c.call == fake::service_call::open_manager;
    record(server_file, "Svc", 4);
    if (!manager_refused) record(server_file, "Next", 4);
    if (c.stop_stage) EXPECT_TRUE(stop_running_services(&ctx));
    else EXPECT_TRUE(start_recorded_services(&ctx));
    std::vector<console_run> expected =
        one_service(c.stop_stage ? "Will stop services...\n" : "Will start services...\n", "Svc", failed(c.printed));
    if (!manager_refused) expected.push_back(info("  service \"Next\"... ok\n"));
    EXPECT_EQ(console_runs(), expected) << c.name;
    EXPECT_EQ(fake::open_handles(), 0) << c.name;
  }
}

}  // namespace
