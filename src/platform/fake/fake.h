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

// ---- C runtime file streams (default certificate) -------------------------------------------------------
// fopen with "w" creates or truncates the file through CreateFileA (sharing read and write, as the runtime
// does), so every rule of files holds for streams too; a text-mode stream stores each "\n" as "\r\n",
// byte for byte what the Windows runtime writes. A stream's file counts among open_files() until closed.

// fopen of this path returns null, with the code as the last error.
void fail_stream_open(const std::string& path, uint32_t code);
// The file at this path cannot grow past `bytes`: fwrite stores what fits of its (translated) text and
// reports the elements stored whole, like a disk that fills up.
void limit_stream_file_size(const std::string& path, size_t bytes);

}  // namespace fake
