// A machine with the product's destination folder and an installation context pointing at it; the test's
// service list is released and every handle must be closed again when the test ends.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/service_list.h"
#include "fake_machine.h"
#include "services/service_list.h"

inline const std::string destination_folder = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\";
inline const std::string server_file = "qor.ua.matrix2.exe";
inline const std::string server_path = destination_folder + server_file;

struct recorded_service {
  std::string file_name;
  std::string service_name;
  uint32_t state;
  bool operator==(const recorded_service&) const = default;
};

class services_machine : public fresh_machine {
 protected:
  install_context ctx{};

  void SetUp() override {
    fresh_machine::SetUp();
    fake::add_folder(destination_folder);
    strcpy(ctx.destination, destination_folder.c_str());
  }

  void TearDown() override {
    service_list_release(&ctx.services);
    EXPECT_EQ(fake::open_handles(), 0) << "a handle or a local heap block was left open";
  }

  // A destination of exactly `length` characters (with its trailing backslash) that exists.
  void use_destination_of_length(size_t length) {
    std::string folder = "C:\\" + std::string(length - 4, 'd') + "\\";
    fake::add_folder(folder);
    strcpy(ctx.destination, folder.c_str());
  }

  void record(const std::string& file_name, const std::string& service_name, uint32_t state) {
    service_list_append(&ctx.services, file_name.c_str(), service_name.c_str(), state);
  }

  std::vector<recorded_service> recorded() const {
    std::vector<recorded_service> out;
    for (uint32_t i = 0; i < ctx.services.count; i++)
      out.push_back({ctx.services.items[i].file_name, ctx.services.items[i].service_name, ctx.services.items[i].state});
    return out;
  }
};
