// Process start-up hardening, done by main before anything else.
#pragma once

namespace plat {

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32): every later LoadLibrary, the system's own ones
// included, looks in System32 only, never beside the exe or in the current folder. Does nothing on systems
// that lack the call.
void restrict_dll_search();

}  // namespace plat
