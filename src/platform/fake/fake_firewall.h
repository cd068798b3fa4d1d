// The simulated COM and Windows Firewall: scripting and read-back for the tests. A fresh machine has COM
// answer CoInitializeEx with S_OK, the firewall classes registered, an empty list of authorized applications
// in the current profile, and Windows-1252 as its ANSI code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fake {

// One entry of the current profile's authorized applications.
struct authorized_application {
  std::u16string path;  // ProcessImageFileName
  std::u16string name;
  bool enabled;
  bool operator==(const authorized_application&) const = default;
};

// What CoInitializeEx answers: S_OK; S_FALSE (the thread is already in a single-threaded apartment, so the
// call still needs its CoUninitialize); RPC_E_CHANGED_MODE (the thread is in the multithreaded apartment
// already: COM is usable, and nothing is to be uninitialised); any other failure (no COM on the thread).
void set_com_initialize_result(int32_t hr);
int com_initialize_calls();
int com_uninitialize_calls();
uint32_t com_initialize_flags();  // of the last call

void add_authorized_application(const authorized_application& entry);
// The current profile's list now. Add replaces an entry for the same path (letter case ignored), else
// appends.
const std::vector<authorized_application>& authorized_applications();
// Every entry passed to Add, as it was at that moment.
const std::vector<authorized_application>& added_applications();

// The firewall's calls, by interface method.
enum class firewall_call {
  create_manager,              // CoCreateInstance(NetFwMgr)
  get_local_policy,
  get_current_profile,
  get_authorized_applications,
  item,
  get_enabled,
  create_application,          // CoCreateInstance(NetFwAuthorizedApplication)
  put_process_image_file_name,
  put_name,
  add,
};
// The nth call (from 1) of that method answers hr and does nothing else.
void fail_firewall_call(firewall_call call, int32_t hr, int nth = 1);
int firewall_calls(firewall_call call);
// The nth SysAllocString (from 1) returns null.
void refuse_string_allocation(int nth);
// The ANSI to UTF-16 conversion fails with this error code.
void fail_ansi_conversion(uint32_t code);

// Every COM and string operation so far, in order, in the Windows spelling: "CoInitializeEx",
// "CoCreateInstance NetFwMgr", "get_LocalPolicy", "Release INetFwPolicy", "SysAllocString", ...
const std::vector<std::string>& com_log();

// Accounting: after a stage has returned, all three must be 0. A reference is handed out by
// CoCreateInstance and by every getter; a string by SysAllocString.
int live_com_references();
int live_strings();
// Releases of a reference not held, frees of a string not allocated or freed already, calls on an object
// already released or of the wrong kind, CoUninitialize without a CoInitializeEx to balance.
int com_misuse();

}  // namespace fake
