// The simulated Windows of the host build: the scripting interface through which a test sets up a machine,
// injects faults and reads back what a stage did. Every test starts from reset(), a fresh machine:
//   drive C: with "C:\Program Files" and "C:\Windows\System32"; ProgramFiles = "C:\Program Files";
//   ntdll.dll of version 6.1.7601.24059; standard output a console in light grey on black (0x07);
//   the tick counter at 100000 ms; the calendar at 2026-04-16 10:20:30 UTC.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace fake {

void reset();

// ---- console --------------------------------------------------------------------------------------------

// One piece of text as it reached the screen (or the file standard output is redirected to), with the
// console attribute in force when it got there. Text reaches the screen when the stream is flushed.
struct console_write {
  uint16_t attributes;
  std::string text;
};

// Standard output as a console with these attributes, or (is_console false) a file: then the console calls
// fail with error 6 and no attribute is recorded (console_write::attributes is 0).
void set_console(bool is_console, uint16_t attributes);
// A console whose attributes cannot be read, though setting them works.
void fail_console_info(bool fail);
const std::vector<console_write>& console_writes();
std::string console_text();  // everything written, without colours
uint16_t console_attributes();  // the attributes in force now
int console_attribute_changes();  // successful SetConsoleTextAttribute calls

// ---- environment ----------------------------------------------------------------------------------------

void set_env(const std::string& name, const std::string& value);
void unset_env(const std::string& name);

// ---- files and folders ----------------------------------------------------------------------------------
// Paths follow Windows' rules: backslashes (slashes are taken too), letter case ignored, a leading
// backslash means the root of drive C:. Every folder and file has an identity (the volume serial number of
// its drive and a file index) that every form of its path shares. CreateFileA keeps Windows' sharing rules.

void add_folder(const std::string& path);  // with every missing folder above it
void add_file(const std::string& path, const std::string& data = "");
bool folder_exists(const std::string& path);
bool file_exists(const std::string& path);
std::string file_data(const std::string& path);
// Another form of an existing path (an 8.3 short name, or another drive's path to the same volume): the
// alias then names the same node, with the same identity. Works for folders too: a short name of a folder
// reaches everything below it.
void add_path_alias(const std::string& alias, const std::string& path);
// Every folder and file below a path (the path itself excluded), in their stored spelling.
std::vector<std::string> list_below(const std::string& path);
// CreateDirectoryA on this path fails with the code (a path that exists then is still "created" no more).
void fail_create_directory(const std::string& path, uint32_t code);
// The CreateDirectoryA calls so far, in order, as the caller spelled the paths.
const std::vector<std::string>& created_directory_calls();

// ---- file version information ---------------------------------------------------------------------------

void set_file_version(const std::string& file, uint16_t major, uint16_t minor, uint16_t build,
                      uint16_t revision);
void remove_file_version(const std::string& file);
enum class version_fault { none, info, query };
// Makes GetFileVersionInfoA (info) or VerQueryValueA (query) fail while the size query still succeeds.
void fail_version(version_fault fault);

// ---- clock ----------------------------------------------------------------------------------------------

void set_tick_count(uint32_t milliseconds);
uint32_t tick_count();
// Every Sleep so far, in milliseconds, in order. Sleeping advances the tick counter at once.
const std::vector<uint32_t>& sleeps();
void set_system_time(const plat::system_time& now);

// ---- handles --------------------------------------------------------------------------------------------

// Handles opened through the platform and not closed yet: a stage that returns leaves this where it was.
int open_handles();
// Of those, the files opened through CreateFileA.
int open_files();

// ---- resources and file faults (payload extraction) ---------------------------------------------------
// A fresh machine's module holds three resources of type 1001, ids 101, 102 and 103, each one zlib stream
// (level 1) of the text default_payload(id).

std::string default_payload(uint16_t id);
// A resource of the program's module with these bytes, as FindResourceW finds it; replaces one there.
void add_resource(uint16_t type, uint16_t id, const std::string& bytes);
void remove_resource(uint16_t type, uint16_t id);
// LoadResource of this resource fails with the code.
void fail_load_resource(uint16_t type, uint16_t id, uint32_t code);
// CreateFileA on this path fails with the code for the next `times` calls, then works again; times < 0:
// every call. A file held open without sharing gives 32 by itself; this scripts it without a holder.
void fail_create_file(const std::string& path, uint32_t code, int times = -1);
// A write that would take the file past `limit` bytes fails with the code and stores nothing (a disk that
// is full once the file holds `limit` bytes).
void fail_write_after(const std::string& path, uint64_t limit, uint32_t code);
// A disk that fills up once the file holds `limit` bytes, as Wine reports it: the write that crosses the limit
// stores what fits and succeeds with the shorter count; the next write fails with 112.
void fill_disk_after(const std::string& path, uint64_t limit);
// CreateFileA calls on this path so far, failed ones included.
int create_file_calls(const std::string& path);
// WriteFile calls on this file so far, failed ones included: the length each one asked to write.
std::vector<uint32_t> write_calls(const std::string& path);


// ---- services --------------------------------------------------------------------------------------------
// A service manager whose services keep the order they were added in (the enumeration order). A new
// service is stopped, of type own process, demand start, and answers a stop or a start at once: the reply
// to the stop request already says stopped, the first query after the start says running.

constexpr uint32_t never = 0xFFFFFFFF;

void add_service(const std::string& name, const std::string& binary_path, uint32_t state = 1,
                 const std::string& display_name = "");
// A stop request makes the service stop pending with this wait hint; it is stopped `stops_after` ms later
// (0: at once, in the reply; never: it stays pending).
void script_stop(const std::string& name, uint32_t wait_hint, uint32_t stops_after);
// A start makes the service start pending with this wait hint; `settles_after` ms later (never: not at all)
// its state becomes `settled_state` (running, or stopped for a service that stops again). Meanwhile the
// check point rises by one every `check_point_every` ms (0: it stays 0).
void script_start(const std::string& name, uint32_t wait_hint, uint32_t settles_after, uint32_t settled_state = 4,
                  uint32_t check_point_every = 0);

// The manager calls a test can make fail. open_manager, enum_services, create and describe fail for every
// caller; the others only on the named service. Every later call fails the same way. A status query takes
// 1 ms of virtual time.
enum class service_call { open_manager, enum_services, open_service, query_config, control, query_status, start,
                          create, describe };
void fail_service_call(service_call call, uint32_t code, const std::string& name = "");
// EnumServicesStatusA as Wine 8 answers a buffer that cannot hold every service: FALSE with 234, a count of
// entries, the resume handle left where it was, and nothing written to the buffer: the entries the count
// speaks of are whatever the buffer held before.
void enum_services_like_wine(bool on);
// EnumServicesStatusA works for the first `calls` calls, then fails with the code: a manager that gives out in
// the middle of a long enumeration.
void fail_enum_services_after(int calls, uint32_t code);

struct service_view {
  bool exists;
  std::string display_name;
  std::string binary_path;
  std::string description;
  std::string account;  // empty: the local system account
  uint32_t type;
  uint32_t start_type;
  uint32_t error_control;
  uint32_t state;  // as a query would report it now
};
service_view service(const std::string& name);
// The manager calls made so far, one line each, such as "OpenSCManagerW(0x000f003f)",
// "OpenServiceA(Alpha, 0x00000024)", "ControlService(Alpha, 1)", "CloseServiceHandle(Alpha)" and
// "CloseServiceHandle(manager)".
const std::vector<std::string>& service_calls();

// ---- processes -------------------------------------------------------------------------------------------

// A running process of this executable path (as it was launched); ids are given out as 4, 8, 12, ...
uint32_t add_process(const std::string& image_path);
enum class process_fault { open_query, module_name, open_terminate, terminate };
// That step fails with the code for this process (a system process, one that refuses to die).
void fail_process(uint32_t id, process_fault fault, uint32_t code);
// EnumProcesses fails with the code (0 too: a failure without a reason).
void fail_enum_processes(uint32_t code);
bool process_running(uint32_t id);
// The buffer sizes of the EnumProcesses calls so far.
const std::vector<uint32_t>& enum_processes_sizes();

// ---- local heap ------------------------------------------------------------------------------------------
// LocalAlloc blocks count among open_handles() until LocalFree.

// The nth LocalAlloc from now (1: the next one) fails with 8.
void fail_local_alloc(int nth);

// ---- C runtime file streams (default certificate) -------------------------------------------------------
// fopen with "w" creates or truncates the file through CreateFileA (sharing read and write, as the runtime
// does), so every rule of files holds for streams too; a text-mode stream stores each "\n" as "\r\n",
// byte for byte what the Windows runtime writes. A stream's file counts among open_files() until closed.

// fopen of this path returns null, with the code as the last error.
void fail_stream_open(const std::string& path, uint32_t code);
// The file at this path cannot grow past `bytes`: fwrite stores what fits of its (translated) text and
// reports the elements stored whole, like a disk that fills up.
void limit_stream_file_size(const std::string& path, size_t bytes);
// The runtime keeps what fwrite takes in its buffer and cannot write it out (a full disk, as Wine shows it):
// fwrite accepts everything, the file stays empty, and fflush and fclose return EOF.
void fail_stream_flush(const std::string& path);

}  // namespace fake

// ---- COM and the Windows Firewall ----------------------------------------------------------------------

#include "platform/fake/fake_firewall.h"
