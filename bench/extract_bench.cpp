// Extraction benchmark: the real extract_payload loop on generated payloads (exe-like, zeros, random; fixed
// seed), each packed by tools/pack_payload.py, against inflating alone and a plain 512 KiB file copy; then
// the private memory an extraction adds for a 1 MiB and a 256 MiB payload, each in a fresh process.
//
//   build/host/extract_bench [work folder]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/posix_platform.h"
#include "payload/extract.h"

namespace {

constexpr size_t mib = 1024 * 1024;
constexpr size_t throughput_size = 64 * mib;

std::string work;

enum class kind { exe_like, zeros, random };

// Fixed-seed data. Exe-like: 4 KiB pages of code-like bytes (a small set of opcodes with varying operands),
// tables of small numbers, zero padding and a share of noise (packed data, resources).
std::vector<unsigned char> generate(kind k, size_t size) {
  std::vector<unsigned char> data(size, 0);
  uint64_t x = 0x2545F4914F6CDD1Dull;
  auto next = [&x] { x ^= x << 13; x ^= x >> 7; x ^= x << 17; return x; };
  static const unsigned char opcodes[] = {0x55, 0x8b, 0x89, 0xe8, 0x48, 0x83, 0xc3, 0x0f, 0x85, 0x74, 0xff, 0x50};
  for (size_t i = 0; i < size; ++i) {
    if (k == kind::zeros) break;
    uint64_t r = next();
    if (k == kind::random) { data[i] = static_cast<unsigned char>(r); continue; }
    switch ((i / 4096 * 2654435761u >> 7) % 10) {
      case 0: case 1: case 2: case 3: data[i] = (r & 3) ? opcodes[(r >> 8) % sizeof opcodes] : static_cast<unsigned char>(r >> 16); break;
      case 4: case 5: data[i] = static_cast<unsigned char>((r >> 20) % 16); break;
      case 6: case 7: break;
      default: data[i] = static_cast<unsigned char>(r >> 24); break;
    }
  }
  return data;
}

void write_whole(const std::string& path, const std::vector<unsigned char>& data) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data.data(), 1, data.size(), f) != data.size() || fclose(f) != 0) {
    fprintf(stderr, "cannot write %s\n", path.c_str());
    exit(1);
  }
}

void pack(const std::string& payload, const std::string& stream) {
  std::string command = "python3 '" QOR_PACK_TOOL "' '" + payload + "' '" + stream + "'";
  if (system(command.c_str()) != 0) exit(1);
}

// The stream mapped read-only, as a module's resource is: its pages are file-backed, not private.
bench_resource map_stream(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) exit(1);
  void* p = st.st_size ? mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
  close(fd);
  return {static_cast<const unsigned char*>(p), static_cast<uint32_t>(st.st_size)};
}

struct data_set {
  const char* name;
  kind k;
  std::string payload;  // the uncompressed file
  bench_resource stream;
  double extract_mbs, inflate_mbs, copy_mbs;
  uint64_t write_calls;
};

std::vector<data_set> sets = {{"exe-like", kind::exe_like, "", {}, 0, 0, 0, 0},
                              {"zeros", kind::zeros, "", {}, 0, 0, 0, 0},
                              {"random", kind::random, "", {}, 0, 0, 0, 0}};

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each case runs a fixed number of times; the median rate is kept for the summary.
template <typename Body>
double measure(benchmark::State& state, Body body) {
  std::vector<double> rates;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    body();
    double s = seconds_since(start);
    state.SetIterationTime(s);
    rates.push_back(throughput_size / s / 1e6);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * throughput_size));
  std::sort(rates.begin(), rates.end());
  return rates[rates.size() / 2];
}

void extract_case(benchmark::State& state, data_set* set) {
  std::string out = work + "/extracted.bin";
  bench_set_resource(set->stream);
  set->extract_mbs = measure(state, [&] {
    bench_reset_write_calls();
    if (extract_payload(101, out.c_str()) != 0) state.SkipWithError("extraction failed");
  });
  set->write_calls = bench_write_calls();
}

// The same loop and chunk without the file: what inflating alone costs.
void inflate_case(benchmark::State& state, data_set* set) {
  std::vector<unsigned char> chunk(payload_chunk_size);
  set->inflate_mbs = measure(state, [&] {
    z_stream z{};
    z.next_in = const_cast<unsigned char*>(set->stream.bytes);
    z.avail_in = set->stream.length;
    inflateInit(&z);
    int status;
    do {
      z.next_out = chunk.data();
      z.avail_out = payload_chunk_size;
      status = inflate(&z, Z_NO_FLUSH);
      benchmark::DoNotOptimize(chunk.data());
    } while (status == Z_OK);
    inflateEnd(&z);
    if (status != Z_STREAM_END) state.SkipWithError("inflate failed");
  });
}

// A plain copy of the uncompressed bytes through a 512 KiB buffer: the cost of the file writing alone.
void copy_case(benchmark::State& state, data_set* set) {
  std::vector<char> buffer(payload_chunk_size);
  std::string out = work + "/copied.bin";
  set->copy_mbs = measure(state, [&] {
    int in = open(set->payload.c_str(), O_RDONLY);
    int to = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (ssize_t n; (n = read(in, buffer.data(), buffer.size())) > 0;)
      if (write(to, buffer.data(), static_cast<size_t>(n)) != n) state.SkipWithError("copy failed");
    close(to);
    close(in);
  });
}

// Private (anonymous) resident bytes: resident minus file-backed, so the mapped stream does not count.
long private_bytes() {
  long size = 0, resident = 0, shared = 0;
  FILE* f = fopen("/proc/self/statm", "r");
  if (!f || fscanf(f, "%ld %ld %ld", &size, &resident, &shared) != 3) exit(1);
  fclose(f);
  return (resident - shared) * sysconf(_SC_PAGESIZE);
}

long peak_private;
void sample_private() { peak_private = std::max(peak_private, private_bytes()); }

// Runs in a fresh process: the peak private memory during one extraction, less what the process held
// before it, sampled at every write (when the chunk and the inflater are alive).
int memory_child(const char* stream_path, const char* out) {
  bench_resource stream = map_stream(stream_path);
  bench_set_resource(stream);
  bench_on_write(sample_private);
  long before = private_bytes();
  peak_private = before;
  if (extract_payload(101, out) != 0) return 1;
  sample_private();
  printf("%ld %llu\n", peak_private - before, static_cast<unsigned long long>(bench_write_calls()));
  return 0;
}

void memory_growth(size_t size) {
  std::string payload = work + "/memory.bin", stream = work + "/memory.zlib";
  write_whole(payload, generate(kind::exe_like, size));
  pack(payload, stream);
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) exit(1);
  std::string command = std::string("'") + self + "' --memory-child '" + stream + "' '" + work + "/memory.out'";
  FILE* child = popen(command.c_str(), "r");
  long growth = -1;
  unsigned long long writes = 0;
  if (!child || fscanf(child, "%ld %llu", &growth, &writes) != 2) growth = -1;
  if (child) pclose(child);
  printf("memory  %4zu MiB payload: peak private growth %7.1f KiB, %llu write calls (ceil %zu)\n", size / mib,
         growth / 1024.0, writes, (size + payload_chunk_size - 1) / payload_chunk_size);
}

void summary() {
  printf("\n%-9s %12s %12s %12s %10s %10s %12s\n", "data", "extract MB/s", "inflate MB/s", "copy MB/s",
         "x/inflate", "x/copy", "write calls");
  for (const data_set& s : sets)
    if (s.extract_mbs > 0 && s.inflate_mbs > 0 && s.copy_mbs > 0)  // a filter may have left some out
      printf("%-9s %12.1f %12.1f %12.1f %10.2f %10.2f %6llu (ceil %zu)\n", s.name, s.extract_mbs, s.inflate_mbs,
           s.copy_mbs, s.extract_mbs / s.inflate_mbs, s.extract_mbs / s.copy_mbs,
           static_cast<unsigned long long>(s.write_calls), throughput_size / payload_chunk_size);
  printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--memory-child") return memory_child(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  work = argc > 1 ? argv[1] : "bench-work";
  mkdir(work.c_str(), 0755);
  for (data_set& s : sets) {
    s.payload = work + "/" + s.name + ".bin";
    write_whole(s.payload, generate(s.k, throughput_size));
    std::string stream = work + "/" + s.name + ".zlib";
    pack(s.payload, stream);
    s.stream = map_stream(stream);
    benchmark::RegisterBenchmark((std::string("extract/") + s.name).c_str(), extract_case, &s)
        ->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("inflate_only/") + s.name).c_str(), inflate_case, &s)
        ->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("copy/") + s.name).c_str(), copy_case, &s)
        ->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  summary();
  memory_growth(1 * mib);
  memory_growth(256 * mib);
  return 0;
}
