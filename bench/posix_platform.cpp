// The platform operations extract_payload needs, over POSIX files, so that the benchmark measures the real
// extraction loop writing a real file. The module's resource is a stream the benchmark has mapped into
// memory; write calls are counted.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "bench/posix_platform.h"
#include "platform/files.h"
#include "platform/resources.h"

namespace {

bench_resource current;
uint64_t writes;
uint32_t last_error;
void (*write_hook)();

uint32_t windows_code(int error) {
  switch (error) {
    case ENOENT: return plat::error_path_not_found;
    case EACCES: return plat::error_access_denied;
    case ENOSPC: return plat::error_disk_full;
    default: return 31;  // ERROR_GEN_FAILURE
  }
}

plat::handle const module = reinterpret_cast<plat::handle>(uintptr_t{0x400000});

}  // namespace

void bench_set_resource(bench_resource resource) { current = resource; }
uint64_t bench_write_calls() { return writes; }
void bench_reset_write_calls() { writes = 0; }
void bench_on_write(void (*hook)()) { write_hook = hook; }

namespace plat {

uint32_t get_last_error() { return last_error; }

handle get_module_handle() { return module; }

handle find_resource(handle, uint16_t, uint16_t) { return &current; }

handle load_resource(handle, handle resource) { return resource; }

uint32_t sizeof_resource(handle, handle resource) { return static_cast<bench_resource*>(resource)->length; }

const void* lock_resource(handle data) { return static_cast<bench_resource*>(data)->bytes; }

handle create_file(const char* path, uint32_t, uint32_t, uint32_t, uint32_t) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    last_error = windows_code(errno);
    return invalid_handle_value;
  }
  return reinterpret_cast<handle>(static_cast<intptr_t>(fd) + 1);
}

bool write_file(handle file, const void* data, uint32_t length, uint32_t* written) {
  ++writes;
  if (write_hook) write_hook();
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(file) - 1);
  const char* p = static_cast<const char*>(data);
  uint32_t done = 0;
  while (done < length) {
    ssize_t n = write(fd, p + done, length - done);
    if (n < 0) {
      last_error = windows_code(errno);
      *written = done;
      return false;
    }
    done += static_cast<uint32_t>(n);
  }
  *written = done;
  return true;
}

bool close_handle(handle object) { return close(static_cast<int>(reinterpret_cast<intptr_t>(object) - 1)) == 0; }

}  // namespace plat
