// COM, OLE Automation strings and the Windows Firewall's authorized applications (INetFwMgr and the
// interfaces reached from it). Each operation stands for one call or one interface method and answers with
// its HRESULT. Interface pointers are opaque: every one a call hands out is a reference the caller owns and
// gives back with release(); on failure an out pointer is left null.
#pragma once

#include "platform/types.h"

namespace plat {

// HRESULT: negative means failure.
using hresult = int32_t;

constexpr hresult s_ok = 0;
constexpr hresult s_false = 1;
constexpr hresult e_outofmemory = static_cast<hresult>(0x8007000E);
constexpr hresult rpc_e_changed_mode = static_cast<hresult>(0x80010106);

inline bool succeeded(hresult hr) { return hr >= 0; }

// CoInitializeEx's concurrency flags.
constexpr uint32_t coinit_apartmentthreaded = 0x2;
constexpr uint32_t coinit_disable_ole1dde = 0x4;

// CoInitializeEx(NULL, flags).
hresult co_initialize_ex(uint32_t flags);

// CoUninitialize: balances one CoInitializeEx that answered S_OK or S_FALSE.
void co_uninitialize();

// ---- OLE Automation strings -----------------------------------------------------------------------------

// A BSTR: UTF-16 text whose length the system keeps.
using bstr = char16_t*;

// SysAllocString: a new BSTR holding a copy of the terminated text, or null when memory is short.
bstr sys_alloc_string(const char16_t* text);

// SysStringLen: the length in UTF-16 units; 0 for null.
uint32_t sys_string_len(bstr text);

// SysFreeString: null does nothing.
void sys_free_string(bstr text);

// MultiByteToWideChar(CP_ACP, 0, text, -1, out, capacity): the terminated 8-bit text of the ANSI code page
// as UTF-16. The number of units written, terminator included; 0 on failure, with the reason in the last
// error.
int32_t ansi_to_utf16(const char* text, char16_t* out, int32_t capacity);

// ---- Windows Firewall -----------------------------------------------------------------------------------

// The interfaces, by their published names INetFwMgr, INetFwPolicy, INetFwProfile,
// INetFwAuthorizedApplications and INetFwAuthorizedApplication. Never defined: only pointers travel.
struct net_fw_mgr;
struct net_fw_policy;
struct net_fw_profile;
struct net_fw_authorized_applications;
struct net_fw_authorized_application;

// VARIANT_BOOL: nonzero is true.
using variant_bool = int16_t;

// CoCreateInstance(CLSID_NetFwMgr, NULL, CLSCTX_INPROC_SERVER, IID_INetFwMgr, manager).
hresult co_create_net_fw_mgr(net_fw_mgr** manager);

// CoCreateInstance(CLSID_NetFwAuthorizedApplication, NULL, CLSCTX_INPROC_SERVER,
// IID_INetFwAuthorizedApplication, application): a new entry, not yet in any list.
hresult co_create_net_fw_authorized_application(net_fw_authorized_application** application);

// INetFwMgr::get_LocalPolicy.
hresult net_fw_mgr_get_local_policy(net_fw_mgr* manager, net_fw_policy** policy);

// INetFwPolicy::get_CurrentProfile.
hresult net_fw_policy_get_current_profile(net_fw_policy* policy, net_fw_profile** profile);

// INetFwProfile::get_AuthorizedApplications.
hresult net_fw_profile_get_authorized_applications(net_fw_profile* profile,
                                                   net_fw_authorized_applications** applications);

// INetFwAuthorizedApplications::Item: the entry for an executable's path; a failure when there is none.
hresult net_fw_authorized_applications_item(net_fw_authorized_applications* applications, bstr path,
                                            net_fw_authorized_application** application);

// INetFwAuthorizedApplications::Add.
hresult net_fw_authorized_applications_add(net_fw_authorized_applications* applications,
                                           net_fw_authorized_application* application);

// INetFwAuthorizedApplication::get_Enabled.
hresult net_fw_authorized_application_get_enabled(net_fw_authorized_application* application,
                                                  variant_bool* enabled);

// INetFwAuthorizedApplication::put_ProcessImageFileName.
hresult net_fw_authorized_application_put_process_image_file_name(net_fw_authorized_application* application,
                                                                  bstr path);

// INetFwAuthorizedApplication::put_Name.
hresult net_fw_authorized_application_put_name(net_fw_authorized_application* application, bstr name);

// IUnknown::Release of each interface.
void release(net_fw_mgr* manager);
void release(net_fw_policy* policy);
void release(net_fw_profile* profile);
void release(net_fw_authorized_applications* applications);
void release(net_fw_authorized_application* application);

}  // namespace plat
