#include <string>

#include "core/host_os.h"
#include "fake_machine.h"

namespace {

struct version_case {
  uint16_t major, minor, build, revision;
  const char* line;
};

class host_classification : public fresh_machine, public ::testing::WithParamInterface<version_case> {};

TEST_P(host_classification, reads_ntdll_version_and_prints_the_flavour) {
  const version_case& c = GetParam();
  fake::set_file_version("ntdll.dll", c.major, c.minor, c.build, c.revision);
  install_context ctx{};
  classify_host_os(&ctx);
  EXPECT_EQ(ctx.os_major, c.major);
  EXPECT_EQ(ctx.os_minor, c.minor);
  EXPECT_EQ(ctx.os_build, c.build);
  EXPECT_EQ(ctx.os_revision, c.revision);
  EXPECT_EQ(console_runs(), std::vector<console_run>{info(c.line)});
}

INSTANTIATE_TEST_SUITE_P(
    boundaries, host_classification,
    ::testing::Values(version_case{4, 0, 1381, 0, "os 4.0.1381.0 => crt \"nt4\"\n"},
                      version_case{5, 0, 2195, 6717, "os 5.0.2195.6717 => crt \"w2k\"\n"},
                      version_case{5, 1, 2599, 9999, "os 5.1.2599.9999 => crt \"w2k\"\n"},
                      version_case{5, 1, 2600, 5511, "os 5.1.2600.5511 => crt \"w2k\"\n"},
                      version_case{5, 1, 2600, 5512, "os 5.1.2600.5512 => crt \"xpsp3\"\n"},
                      version_case{5, 1, 2601, 0, "os 5.1.2601.0 => crt \"xpsp3\"\n"},
                      version_case{5, 2, 3790, 0, "os 5.2.3790.0 => crt \"xpsp3\"\n"},
                      version_case{6, 0, 6002, 18005, "os 6.0.6002.18005 => crt \"xpsp3\"\n"},
                      version_case{6, 1, 7601, 24059, "os 6.1.7601.24059 => crt \"current\"\n"},
                      version_case{10, 0, 19041, 3636, "os 10.0.19041.3636 => crt \"current\"\n"},
                      version_case{65535, 65535, 65535, 65535, "os 65535.65535.65535.65535 => crt \"current\"\n"}),
    [](const auto& info) {
      const version_case& c = info.param;
      return "v" + std::to_string(c.major) + "_" + std::to_string(c.minor) + "_" + std::to_string(c.build) + "_" +
             std::to_string(c.revision);
    });

class unreadable_version : public fresh_machine, public ::testing::WithParamInterface<fake::version_fault> {};

TEST_P(unreadable_version, gives_four_zeros_and_nt4) {
  if (GetParam() == fake::version_fault::none) fake::remove_file_version("ntdll.dll");
  fake::fail_version(GetParam());
  install_context ctx{};
  ctx.os_major = 99;
  classify_host_os(&ctx);
  EXPECT_EQ(ctx.os_major, 0u);
  EXPECT_EQ(ctx.runtime_flavour, static_cast<uint32_t>(flavour_nt4));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("os 0.0.0.0 => crt \"nt4\"\n")});
}

std::string fault_name(fake::version_fault fault) {
  switch (fault) {
    case fake::version_fault::info: return "info_read_fails";
    case fake::version_fault::query: return "root_query_fails";
    default: return "no_version_information";
  }
}

// none: the file has no version information at all (the size query gives 0).
INSTANTIATE_TEST_SUITE_P(each_step, unreadable_version,
                         ::testing::Values(fake::version_fault::none, fake::version_fault::info,
                                           fake::version_fault::query),
                         [](const auto& info) { return fault_name(info.param); });

}  // namespace
