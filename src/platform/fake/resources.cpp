// The program's module in the simulated Windows: one module, whose resources a test registers by type and
// id. A resource handle and its data handle are both the address of the stored bytes, which stay put while
// the test leaves that resource alone.
#include <zlib.h>

#include "platform/fake/machine.h"
#include "platform/resources.h"

namespace fake {
namespace {

plat::handle const module_handle = reinterpret_cast<plat::handle>(uintptr_t{0x00400000});

uint32_t resource_key(uint16_t type, uint16_t id) { return (uint32_t{type} << 16) | id; }

// One zlib stream at the fastest level, as the build makes the real ones.
std::string zlib_stream(const std::string& data) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  std::string stream(length, '\0');
  compress2(reinterpret_cast<Bytef*>(stream.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), 1);
  stream.resize(length);
  return stream;
}

}  // namespace

std::string default_payload(uint16_t id) { return "stand-in payload " + std::to_string(id) + "\n"; }

void add_default_resources() {
  for (uint16_t id : {101, 102, 103}) add_resource(1001, id, zlib_stream(default_payload(id)));
}

void add_resource(uint16_t type, uint16_t id, const std::string& bytes) {
  machine().resources[resource_key(type, id)] = bytes;
}

void remove_resource(uint16_t type, uint16_t id) { machine().resources.erase(resource_key(type, id)); }

void fail_load_resource(uint16_t type, uint16_t id, uint32_t code) {
  machine().load_resource_faults[resource_key(type, id)] = code;
}

}  // namespace fake

namespace plat {

handle get_module_handle() { return fake::module_handle; }

handle find_resource(handle module, uint16_t id, uint16_t type) {
  fake::machine_state& m = fake::machine();
  if (module != fake::module_handle) return fake::fail(nullptr, error_invalid_handle);
  uint32_t key = fake::resource_key(type, id);
  auto it = m.resources.find(key);
  if (it != m.resources.end()) return &it->second;
  for (const auto& [other, bytes] : m.resources)
    if (other >> 16 == type) return fake::fail(nullptr, error_resource_name_not_found);
  return fake::fail(nullptr, error_resource_type_not_found);
}

handle load_resource(handle module, handle resource) {
  fake::machine_state& m = fake::machine();
  if (module != fake::module_handle || !resource) return fake::fail(nullptr, error_invalid_handle);
  for (const auto& [key, bytes] : m.resources) {
    if (&bytes != resource) continue;
    auto fault = m.load_resource_faults.find(key);
    if (fault != m.load_resource_faults.end()) return fake::fail(nullptr, fault->second);
    return resource;
  }
  return fake::fail(nullptr, error_invalid_handle);
}

uint32_t sizeof_resource(handle, handle resource) {
  return resource ? static_cast<uint32_t>(static_cast<const std::string*>(resource)->size()) : 0;
}

const void* lock_resource(handle data) { return data ? static_cast<const std::string*>(data)->data() : nullptr; }

}  // namespace plat
