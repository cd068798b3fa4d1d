#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/install.h"
#include "fake_machine.h"
#include "payload/deploy.h"
#include "payload/extract.h"
#include "platform/files.h"

namespace {

const char* const destination = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\";
const std::string ctrl_path = std::string(destination) + "qor.ua.matrix2.ctrl.exe";
const std::string dev_path = std::string(destination) + "qor.ua.matrix2.dev.exe";
const std::string server_path = std::string(destination) + "qor.ua.matrix2.exe";
constexpr size_t chunk = payload_chunk_size;
const std::string retry_line = "\n  retry in 5 sec.....";

std::string compressed(const std::string& data, int level = 1) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  std::string stream(length, '\0');
  compress2(reinterpret_cast<Bytef*>(stream.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), level);
  stream.resize(length);
  return stream;
}

// Data that compresses about as an executable does: stretches of noise, of repeated code-like patterns and
// of zeros, from a fixed seed.
std::string exe_like(size_t size) {
  std::string data(size, '\0');
  uint32_t seed = 0x9E3779B9u;
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    switch ((i / 3000) % 3) {
      case 0: data[i] = static_cast<char>(seed >> 24); break;
      case 1: data[i] = "\x55\x8b\xec\x83\xec\x10\xe8\x00"[i % 8]; break;
      default: break;
    }
  }
  return data;
}

class payload : public fresh_machine {
 protected:
  void SetUp() override {
    fresh_machine::SetUp();
    fake::add_folder(destination);
    strcpy(ctx.destination, destination);
  }
  // No handle of any kind stays open after a stage, whatever its outcome.
  void TearDown() override { EXPECT_EQ(fake::open_handles(), 0); }
  install_context ctx{};
};

// ---- extract_payload: sizes and the chunk rule ---------------------------------------------------------

class payload_size : public payload, public ::testing::WithParamInterface<size_t> {};

TEST_P(payload_size, is_written_byte_for_byte_in_full_chunks_and_one_rest) {
  size_t size = GetParam();
  std::string data = exe_like(size);
  fake::add_resource(1001, 101, compressed(data));
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 0u);
  EXPECT_TRUE(fake::file_data(ctrl_path) == data) << "file differs from the payload";
  std::vector<uint32_t> writes = fake::write_calls(ctrl_path);
  size_t full = size / chunk;
  // ceil(N / chunk) writes, and at most one more of zero bytes; an empty payload takes exactly that one.
  ASSERT_GE(writes.size(), std::max<size_t>(1, (size + chunk - 1) / chunk));
  ASSERT_LE(writes.size(), full + 1);
  for (size_t i = 0; i < full; ++i) EXPECT_EQ(writes[i], chunk) << i;
  if (writes.size() > full) {
    EXPECT_EQ(writes.back(), size % chunk);
  }
}

INSTANTIATE_TEST_SUITE_P(sizes, payload_size,
                         ::testing::Values(0, 1, 100000, chunk - 1, chunk, chunk + 1, 3 * chunk,
                                           3 * chunk + 12345),
                         [](const auto& info) { return "bytes_" + std::to_string(info.param); });

// ---- extract_payload: what the stream and the module may hold ------------------------------------------

struct stream_case {
  const char* name;
  std::string resource;  // the resource's bytes
  uint32_t result;
  std::string file;      // what the target file holds afterwards
};

void PrintTo(const stream_case& c, std::ostream* os) { *os << c.name; }

std::vector<stream_case> stream_cases() {
  std::string small = exe_like(200000);
  std::string big = exe_like(2 * chunk + 300000);
  std::string stream = compressed(small);
  std::string wrong_check = stream;
  wrong_check.back() = static_cast<char>(wrong_check.back() ^ 1);
  std::string big_stream = compressed(big);
  return {
      {"empty_resource_leaves_an_empty_file", "", 1392, ""},
      {"stream_of_an_empty_file", compressed(""), 0, ""},
      {"bytes_after_the_stream_are_ignored", stream + "trailing bytes", 0, small},
      {"best_compression_is_accepted_too", compressed(small, 9), 0, small},
      {"stream_cut_by_its_last_byte_writes_no_partial_chunk", stream.substr(0, stream.size() - 1), 1392, ""},
      {"wrong_adler32_writes_no_partial_chunk", wrong_check, 1392, ""},
      {"truncated_after_two_chunks_keeps_the_full_chunks", big_stream.substr(0, big_stream.size() * 9 / 10), 1392,
       big.substr(0, 2 * chunk)},
      {"not_a_zlib_stream", "MZ\x90\x00 plain bytes", 1392, ""},
      {"raw_deflate_without_header", compressed(small).substr(2), 1392, ""},
  };
}

class stream_content : public payload, public ::testing::WithParamInterface<stream_case> {};

TEST_P(stream_content, gives_its_result_and_leaves_the_file_as_expected) {
  const stream_case& c = GetParam();
  fake::add_file(ctrl_path, "an older, longer version of the file");
  fake::add_resource(1001, 101, c.resource);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), c.result);
  EXPECT_TRUE(fake::file_exists(ctrl_path));
  EXPECT_EQ(fake::file_data(ctrl_path).size(), c.file.size());
  EXPECT_TRUE(fake::file_data(ctrl_path) == c.file) << "file content differs";
}

INSTANTIATE_TEST_SUITE_P(cases, stream_content, ::testing::ValuesIn(stream_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(payload, a_missing_resource_or_one_that_cannot_be_loaded_gives_the_last_error_and_creates_nothing) {
  fake::remove_resource(1001, 101);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 1814u);  // name not found
  fake::fail_load_resource(1001, 102, 0x1f);
  EXPECT_EQ(extract_payload(102, dev_path.c_str()), 0x1fu);
  for (uint16_t id : {102, 103}) fake::remove_resource(1001, id);
  fake::add_resource(10, 101, compressed("stored under RT_RCDATA, not 1001"));
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 1813u);  // no resource of type 1001 at all
  EXPECT_TRUE(fake::list_below(destination).empty());
}

TEST_F(payload, creation_and_write_failures_give_their_codes) {
  std::string data = exe_like(3 * chunk);
  fake::add_resource(1001, 101, compressed(data));
  fake::fail_create_file(ctrl_path, 5);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 5u);
  fake::fail_create_file(ctrl_path, 0, 0);
  fake::fail_write_after(ctrl_path, chunk + 100, 112);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 112u);
  EXPECT_EQ(fake::file_data(ctrl_path).size(), chunk);
  EXPECT_EQ(fake::write_calls(ctrl_path), (std::vector<uint32_t>{chunk, chunk}));
}

// Wine reports a write that fills the disk as a success that wrote less; the rest is written again, and that
// write's failure is the result: the cut-off file is never reported complete.
TEST_F(payload, a_disk_that_fills_during_a_write_gives_112_not_a_short_file_reported_complete) {
  std::string data = exe_like(2 * chunk + 1000);
  fake::add_resource(1001, 101, compressed(data));
  fake::fill_disk_after(ctrl_path, chunk + 100);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 112u);
  EXPECT_EQ(fake::file_data(ctrl_path), data.substr(0, chunk + 100));
  EXPECT_EQ(fake::write_calls(ctrl_path), (std::vector<uint32_t>{chunk, chunk, chunk - 100}));
  EXPECT_EQ(fake::open_handles(), 0);
}

TEST_F(payload, a_file_held_open_by_another_process_gives_32) {
  fake::add_file(ctrl_path, "old");
  plat::handle holder = plat::create_file(ctrl_path.c_str(), plat::generic_read, plat::file_share_read,
                                          plat::open_existing, plat::file_attribute_normal);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 32u);
  EXPECT_EQ(fake::file_data(ctrl_path), "old");
  plat::close_handle(holder);
  EXPECT_EQ(extract_payload(101, ctrl_path.c_str()), 0u);
  EXPECT_EQ(fake::file_data(ctrl_path), fake::default_payload(101));
}

// ---- deploy_payload: console, retries and waits --------------------------------------------------------

TEST_F(payload, success_at_once_prints_ok_on_the_copying_line) {
  EXPECT_TRUE(deploy_payload(&ctx, &payload_table[2]));
  EXPECT_EQ(console_runs(), std::vector<console_run>{info("Copying \"qor.ua.matrix2.exe\"... ok\n")});
  EXPECT_EQ(fake::file_data(server_path), fake::default_payload(103));
  EXPECT_TRUE(fake::sleeps().empty());
}

struct retry_case {
  const char* name;
  uint32_t code;
  int failing_attempts;  // < 0: every attempt
  int attempts;
  int retry_lines;
  bool ok;
};

void PrintTo(const retry_case& c, std::ostream* os) { *os << c.name; }

class creation_fault : public payload, public ::testing::WithParamInterface<retry_case> {};

TEST_P(creation_fault, is_retried_only_when_the_file_is_locked_and_at_most_three_times) {
  const retry_case& c = GetParam();
  fake::fail_create_file(ctrl_path, c.code, c.failing_attempts);
  EXPECT_EQ(deploy_payload(&ctx, &payload_table[0]), c.ok);
  std::string text = "Copying \"qor.ua.matrix2.ctrl.exe\"...";
  for (int i = 0; i < c.retry_lines; ++i) text += retry_line;
  char failed[32];
  snprintf(failed, sizeof failed, " failed: 0x%08x\n", c.code);
  std::vector<console_run> expected{info(text + " ok\n")};
  if (!c.ok) expected = {info(text), error(failed)};
  EXPECT_EQ(console_runs(), expected);
  EXPECT_EQ(fake::create_file_calls(ctrl_path), c.attempts);
  EXPECT_EQ(fake::sleeps(), std::vector<uint32_t>(5 * c.retry_lines, 1000));  // no wait after the last try
  EXPECT_EQ(fake::file_data(ctrl_path), c.ok ? fake::default_payload(101) : "");
}

INSTANTIATE_TEST_SUITE_P(
    faults, creation_fault,
    ::testing::Values(retry_case{"locked_for_two_attempts", 32, 2, 3, 2, true},
                      retry_case{"locked_for_three_attempts", 32, 3, 4, 3, true},
                      retry_case{"locked_for_ever", 32, -1, 4, 3, false},
                      retry_case{"access_denied_is_not_retried", 5, -1, 1, 0, false},
                      retry_case{"locked_for_one_attempt", 32, 1, 2, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(payload, a_retry_that_meets_another_failure_stops_retrying_with_that_code) {
  fake::fail_create_file(ctrl_path, 32, 1);
  fake::fail_write_after(ctrl_path, 0, 112);
  EXPECT_FALSE(deploy_payload(&ctx, &payload_table[0]));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info("Copying \"qor.ua.matrix2.ctrl.exe\"..." + retry_line),
                                                      error(" failed: 0x00000070\n")}));
  EXPECT_EQ(fake::create_file_calls(ctrl_path), 2);
}

TEST_F(payload, a_missing_resource_shows_the_platforms_code) {
  fake::remove_resource(1001, 102);
  EXPECT_FALSE(deploy_payload(&ctx, &payload_table[1]));
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info("Copying \"qor.ua.matrix2.dev.exe\"..."),
                                                      error(" failed: 0x00000716\n")}));
}

TEST_F(payload, a_payload_path_that_does_not_fit_is_an_internal_error_before_any_file_is_touched) {
  std::string dest = "C:\\" + std::string(259 - 3 - 1 - strlen("qor.ua.matrix2.exe"), 'd') + "\\";
  strcpy(ctx.destination, dest.c_str());
  fake::add_folder(dest);
  EXPECT_TRUE(deploy_payload(&ctx, &payload_table[2]));  // exactly 259 characters
  fake::reset();
  fake::add_folder(dest);
  EXPECT_FALSE(deploy_payload(&ctx, &payload_table[1]));  // one character more
  EXPECT_EQ(console_runs(), (std::vector<console_run>{info("Copying \"qor.ua.matrix2.dev.exe\"..."),
                                                      error("internal error\n")}));
  EXPECT_TRUE(fake::list_below(dest).empty());
}

TEST_F(payload, folders_in_a_file_name_are_created_first_and_their_failure_ends_the_stage) {
  payload_entry nested{101, "tools\\bin\\ctrl.exe"};
  EXPECT_TRUE(deploy_payload(&ctx, &nested));
  EXPECT_EQ(fake::file_data(std::string(destination) + "tools\\bin\\ctrl.exe"), fake::default_payload(101));
  fake::reset();
  fake::add_folder(destination);
  fake::fail_create_directory(std::string(destination) + "tools", 5);
  EXPECT_FALSE(deploy_payload(&ctx, &nested));
  EXPECT_EQ(console_runs(),
            (std::vector<console_run>{info("Copying \"tools\\bin\\ctrl.exe\"...\n  "),
                                      error("Failed to create dir \"" + std::string(destination) + "tools\": 0x00000005\n")}));
  EXPECT_EQ(fake::create_file_calls(std::string(destination) + "tools\\bin\\ctrl.exe"), 0);
}

}  // namespace
