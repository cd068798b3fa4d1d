#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/install.h"
#include "core/service_list.h"
#include "fake_machine.h"
#include "firewall/firewall.h"

namespace {

using fake::authorized_application;
using fake::firewall_call;

const char* const destination = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\";
const std::u16string server_path = u"C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe";
const authorized_application our_entry = {server_path, u"qor VARAV", true};

// The stage's console pieces.
const std::string stage_start = "Will configure firewall...\n";
const std::string exception_start = "  exception for \"qor.ua.matrix2.exe\"...";

std::vector<console_run> ok_output() { return {info(stage_start + exception_start + " ok\n")}; }

std::vector<console_run> warning_output(uint32_t hr) {
  char text[80];
  snprintf(text, sizeof text, " failed: 0x%08x. Will attempt to continue...\n", hr);
  return {info(stage_start + exception_start), warning(text)};
}

std::vector<console_run> internal_error_output() {
  return {info(stage_start + exception_start), error("internal error\n")};
}

class firewall_stage : public fresh_machine {
 protected:
  void SetUp() override {
    fresh_machine::SetUp();
    strcpy(ctx.destination, destination);
  }
  void TearDown() override { expect_everything_given_back(); }
  // Whatever the case: every reference released and every string freed, each exactly once.
  static void expect_everything_given_back() {
    EXPECT_EQ(fake::live_com_references(), 0);
    EXPECT_EQ(fake::live_strings(), 0);
    EXPECT_EQ(fake::com_misuse(), 0);
  }
  bool run() { return configure_firewall(&ctx, "qor.ua.matrix2.exe"); }
  install_context ctx{};
};

// ---- what the profile holds -----------------------------------------------------------------------------

TEST_F(firewall_stage, without_an_entry_adds_one_named_qor_varav_for_the_server_path) {
  EXPECT_TRUE(run());
  EXPECT_EQ(console_runs(), ok_output());
  EXPECT_EQ(fake::added_applications(), std::vector<authorized_application>{our_entry});
  EXPECT_EQ(fake::authorized_applications(), std::vector<authorized_application>{our_entry});
  EXPECT_EQ(fake::com_initialize_flags(), 6u);  // apartment-threaded, no OLE 1 DDE
  EXPECT_EQ(fake::com_initialize_calls(), 1);
  EXPECT_EQ(fake::com_uninitialize_calls(), 1);
}

TEST_F(firewall_stage, an_enabled_entry_for_the_path_is_enough_and_nothing_is_created) {
  authorized_application theirs = {server_path, u"someone else's name", true};
  fake::add_authorized_application(theirs);
  EXPECT_TRUE(run());
  EXPECT_EQ(console_runs(), ok_output());
  EXPECT_EQ(fake::firewall_calls(firewall_call::create_application), 0);
  EXPECT_TRUE(fake::added_applications().empty());
  EXPECT_EQ(fake::authorized_applications(), std::vector<authorized_application>{theirs});
}

// The whole conversation with the firewall, for the case that walks every step: the lookup's references and
// string are given back before the addition begins, and the disabled entry is only read, never changed.
TEST_F(firewall_stage, a_disabled_entry_is_left_alone_and_a_new_one_is_passed_to_add) {
  fake::add_authorized_application({server_path, u"old", false});
  EXPECT_TRUE(run());
  EXPECT_EQ(console_runs(), ok_output());
  EXPECT_EQ(fake::added_applications(), std::vector<authorized_application>{our_entry});
  const std::vector<std::string> expected = {
      "CoInitializeEx",
      "CoCreateInstance NetFwMgr", "get_LocalPolicy", "get_CurrentProfile",
      "Release INetFwPolicy", "Release INetFwMgr",
      "get_AuthorizedApplications", "SysAllocString", "Item", "get_Enabled",
      "SysFreeString", "Release INetFwAuthorizedApplication", "Release INetFwAuthorizedApplications",
      "get_AuthorizedApplications", "CoCreateInstance NetFwAuthorizedApplication",
      "SysAllocString", "put_ProcessImageFileName", "SysAllocString", "put_Name", "Add",
      "SysFreeString", "SysFreeString", "Release INetFwAuthorizedApplication",
      "Release INetFwAuthorizedApplications",
      "Release INetFwProfile",
      "CoUninitialize",
  };
  EXPECT_EQ(fake::com_log(), expected);
}

// ---- what the firewall answers --------------------------------------------------------------------------

struct firewall_case {
  const char* name;
  void (*script)();
  uint32_t shown;  // the HRESULT in the warning; 0: the line ends " ok"
  std::vector<authorized_application> added;
};

const authorized_application enabled_entry = {server_path, u"old", true};
const authorized_application disabled_entry = {server_path, u"old", false};

class firewall_answer : public firewall_stage, public ::testing::WithParamInterface<firewall_case> {};

TEST_P(firewall_answer, is_reported_on_the_stage_line_and_the_installation_goes_on) {
  const firewall_case& c = GetParam();
  c.script();
  EXPECT_TRUE(run());
  EXPECT_EQ(console_runs(), c.shown ? warning_output(c.shown) : ok_output());
  EXPECT_EQ(fake::added_applications(), c.added);
  EXPECT_EQ(fake::com_uninitialize_calls(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    cases, firewall_answer,
    ::testing::Values(
        firewall_case{"manager_class_missing",
                      [] { fake::fail_firewall_call(firewall_call::create_manager, 0x80040154); }, 0x80040154, {}},
        firewall_case{"policy_fails",
                      [] { fake::fail_firewall_call(firewall_call::get_local_policy, 0x80070005); }, 0x80070005, {}},
        firewall_case{"profile_fails",
                      [] { fake::fail_firewall_call(firewall_call::get_current_profile, 0x8000ffff); }, 0x8000ffff, {}},
        firewall_case{"lookup_list_fails",
                      [] { fake::fail_firewall_call(firewall_call::get_authorized_applications, 0x80004005, 1); },
                      0x80004005, {}},
        firewall_case{"lookup_path_string_refused", [] { fake::refuse_string_allocation(1); }, 0x8007000e, {}},
        firewall_case{"item_failing_counts_as_absent",
                      [] {
                        fake::add_authorized_application(enabled_entry);
                        fake::fail_firewall_call(firewall_call::item, 0x80004005);
                      },
                      0, {our_entry}},
        firewall_case{"get_enabled_fails",
                      [] {
                        fake::add_authorized_application(enabled_entry);
                        fake::fail_firewall_call(firewall_call::get_enabled, 0x8001010e);
                      },
                      0x8001010e, {}},
        firewall_case{"addition_list_fails",
                      [] { fake::fail_firewall_call(firewall_call::get_authorized_applications, 0x80070005, 2); },
                      0x80070005, {}},
        firewall_case{"entry_class_missing",
                      [] { fake::fail_firewall_call(firewall_call::create_application, 0x80040154); }, 0x80040154, {}},
        firewall_case{"addition_path_string_refused", [] { fake::refuse_string_allocation(2); }, 0x8007000e, {}},
        firewall_case{"put_process_image_file_name_fails",
                      [] { fake::fail_firewall_call(firewall_call::put_process_image_file_name, 0x80070057); },
                      0x80070057, {}},
        firewall_case{"name_string_refused", [] { fake::refuse_string_allocation(3); }, 0x8007000e, {}},
        firewall_case{"put_name_fails", [] { fake::fail_firewall_call(firewall_call::put_name, 0x80004005); },
                      0x80004005, {}},
        firewall_case{"add_fails", [] { fake::fail_firewall_call(firewall_call::add, 0x80070005); }, 0x80070005, {}},
        firewall_case{"add_fails_over_a_disabled_entry",
                      [] {
                        fake::add_authorized_application(disabled_entry);
                        fake::fail_firewall_call(firewall_call::add, 0x800706ba);
                      },
                      0x800706ba, {}},
        firewall_case{"add_succeeds_over_a_disabled_entry",
                      [] { fake::add_authorized_application(disabled_entry); }, 0, {our_entry}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the COM bracket ------------------------------------------------------------------------------------

struct com_case {
  const char* name;
  int32_t initialize_result;
  bool runs;
  int uninitialize_calls;
};

class com_initialisation : public firewall_stage, public ::testing::WithParamInterface<com_case> {};

TEST_P(com_initialisation, decides_whether_the_stage_runs_and_whether_com_is_uninitialised) {
  const com_case& c = GetParam();
  fake::set_com_initialize_result(c.initialize_result);
  EXPECT_TRUE(run());
  if (c.runs) {
    EXPECT_EQ(console_runs(), ok_output());
    EXPECT_EQ(fake::added_applications(), std::vector<authorized_application>{our_entry});
  } else {
    char text[80];
    snprintf(text, sizeof text, "  CoInitializeEx failed: 0x%08x. Will attempt to continue...\n",
             static_cast<uint32_t>(c.initialize_result));
    EXPECT_EQ(console_runs(), (std::vector<console_run>{info(stage_start), warning(text)}));
    EXPECT_EQ(fake::firewall_calls(firewall_call::create_manager), 0);
  }
  EXPECT_EQ(fake::com_initialize_calls(), 1);
  EXPECT_EQ(fake::com_uninitialize_calls(), c.uninitialize_calls);
}

INSTANTIATE_TEST_SUITE_P(
    results, com_initialisation,
    ::testing::Values(com_case{"s_ok", 0, true, 1}, com_case{"s_false_already_initialised", 1, true, 1},
                      com_case{"rpc_e_changed_mode_runs_in_the_existing_apartment", static_cast<int32_t>(0x80010106),
                               true, 0},
                      com_case{"e_outofmemory_skips_the_stage", static_cast<int32_t>(0x8007000e), false, 0},
                      com_case{"e_unexpected_skips_the_stage", static_cast<int32_t>(0x8000ffff), false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(firewall_stage, the_installation_goes_on_when_com_cannot_be_initialised) {
  fake::set_com_initialize_result(static_cast<int32_t>(0x80004005));
  install_context whole{};
  EXPECT_TRUE(install_run(&whole));
  EXPECT_NE(fake::console_text().find(stage_start + "  CoInitializeEx failed: 0x80004005. Will attempt to continue...\n"),
            std::string::npos);
  service_list_release(&whole.services);
}

// ---- the path -------------------------------------------------------------------------------------------

TEST_F(firewall_stage, a_path_of_259_characters_is_added_and_260_or_more_is_an_internal_error) {
  // 277: the longest destination there can be (259 characters) with the file name.
  for (size_t length : {259u, 260u, 277u}) {
    fake::reset();
    // "C:\", a folder name, "\" and the 18 characters of "qor.ua.matrix2.exe" make `length`.
    std::string dest = "C:\\" + std::string(length - 18 - 4, 'd') + "\\";
    strcpy(ctx.destination, dest.c_str());
    bool fits = length < 260;
    EXPECT_EQ(run(), fits) << length;
    EXPECT_EQ(console_runs(), fits ? ok_output() : internal_error_output()) << length;
    if (fits) {
      std::u16string wide(dest.begin(), dest.end());
      EXPECT_EQ(fake::added_applications().at(0).path, wide + u"qor.ua.matrix2.exe");
    } else {
      EXPECT_EQ(fake::firewall_calls(firewall_call::create_manager), 0) << length;
    }
    EXPECT_EQ(fake::com_uninitialize_calls(), 1) << length;
    expect_everything_given_back();
  }
}

// The destination is held in the ANSI code page (Windows-1252 on the simulated machine); the entry's path
// must name the same file, so 0xFC is "ü" and 0x80 is "€", not U+0080.
TEST_F(firewall_stage, a_destination_outside_ascii_gives_the_utf16_path_of_the_same_file) {
  strcpy(ctx.destination, "C:\\Programme\\Gr\xFC\xDF" "e \x80\\Morvellan\\QOR.UA\\matrix2\\");
  EXPECT_TRUE(run());
  EXPECT_EQ(console_runs(), ok_output());
  ASSERT_EQ(fake::added_applications().size(), 1u);
  EXPECT_EQ(fake::added_applications()[0].path,
            u"C:\\Programme\\Gr\u00FC\u00DFe \u20AC\\Morvellan\\QOR.UA\\matrix2\\qor.ua.matrix2.exe");
}

TEST_F(firewall_stage, a_path_that_cannot_be_converted_is_an_internal_error) {
  fake::fail_ansi_conversion(1113);  // ERROR_NO_UNICODE_TRANSLATION
  EXPECT_FALSE(run());
  EXPECT_EQ(console_runs(), internal_error_output());
  EXPECT_EQ(fake::firewall_calls(firewall_call::create_manager), 0);
}

}  // namespace
