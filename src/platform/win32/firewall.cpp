// COM and the Windows Firewall through the published interfaces that <netfw.h> declares. mingw-w64's import
// libraries carry none of the firewall's class and interface identifiers, so they are defined here.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <netfw.h>

#include "platform/firewall.h"

namespace plat {
namespace {

static_assert(sizeof(char16_t) == sizeof(OLECHAR));
static_assert(sizeof(variant_bool) == sizeof(VARIANT_BOOL));

// {304CE942-6E39-40D8-943A-B913C40C9CD4}
const CLSID clsid_net_fw_mgr = {0x304CE942, 0x6E39, 0x40D8, {0x94, 0x3A, 0xB9, 0x13, 0xC4, 0x0C, 0x9C, 0xD4}};
// {F7898AF5-CAC4-4632-A2EC-DA06E5111AF2}
const IID iid_net_fw_mgr = {0xF7898AF5, 0xCAC4, 0x4632, {0xA2, 0xEC, 0xDA, 0x06, 0xE5, 0x11, 0x1A, 0xF2}};
// {EC9846B3-2762-4A6B-A214-6ACB603462D2}
const CLSID clsid_net_fw_authorized_application = {
    0xEC9846B3, 0x2762, 0x4A6B, {0xA2, 0x14, 0x6A, 0xCB, 0x60, 0x34, 0x62, 0xD2}};
// {B5E64FFA-C2C5-444E-A301-FB5E00018050}
const IID iid_net_fw_authorized_application = {
    0xB5E64FFA, 0xC2C5, 0x444E, {0xA3, 0x01, 0xFB, 0x5E, 0x00, 0x01, 0x80, 0x50}};

// Our opaque pointers are the interface pointers themselves.
::INetFwMgr* com(net_fw_mgr* p) { return reinterpret_cast<::INetFwMgr*>(p); }
::INetFwPolicy* com(net_fw_policy* p) { return reinterpret_cast<::INetFwPolicy*>(p); }
::INetFwProfile* com(net_fw_profile* p) { return reinterpret_cast<::INetFwProfile*>(p); }
::INetFwAuthorizedApplications* com(net_fw_authorized_applications* p) {
  return reinterpret_cast<::INetFwAuthorizedApplications*>(p);
}
::INetFwAuthorizedApplication* com(net_fw_authorized_application* p) {
  return reinterpret_cast<::INetFwAuthorizedApplication*>(p);
}

BSTR com(bstr text) { return reinterpret_cast<BSTR>(text); }

// Calls a getter that hands out an interface, and passes it on in our opaque type (null on failure).
template <typename Ours, typename Theirs, typename Getter>
hresult get_interface(Getter getter, Ours** out) {
  Theirs* got = nullptr;
  HRESULT hr = getter(&got);
  *out = SUCCEEDED(hr) ? reinterpret_cast<Ours*>(got) : nullptr;
  return hr;
}

}  // namespace

hresult co_initialize_ex(uint32_t flags) { return CoInitializeEx(nullptr, flags); }

void co_uninitialize() { CoUninitialize(); }

bstr sys_alloc_string(const char16_t* text) {
  return reinterpret_cast<bstr>(SysAllocString(reinterpret_cast<const OLECHAR*>(text)));
}

uint32_t sys_string_len(bstr text) { return SysStringLen(com(text)); }

void sys_free_string(bstr text) { SysFreeString(com(text)); }

int32_t ansi_to_utf16(const char* text, char16_t* out, int32_t capacity) {
  return MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(out), capacity);
}

hresult co_create_net_fw_mgr(net_fw_mgr** manager) {
  return get_interface<net_fw_mgr, ::INetFwMgr>(
      [](::INetFwMgr** p) {
        return CoCreateInstance(clsid_net_fw_mgr, nullptr, CLSCTX_INPROC_SERVER, iid_net_fw_mgr,
                                reinterpret_cast<void**>(p));
      },
      manager);
}

hresult co_create_net_fw_authorized_application(net_fw_authorized_application** application) {
  return get_interface<net_fw_authorized_application, ::INetFwAuthorizedApplication>(
      [](::INetFwAuthorizedApplication** p) {
        return CoCreateInstance(clsid_net_fw_authorized_application, nullptr, CLSCTX_INPROC_SERVER,
                                iid_net_fw_authorized_application, reinterpret_cast<void**>(p));
      },
      application);
}

hresult net_fw_mgr_get_local_policy(net_fw_mgr* manager, net_fw_policy** policy) {
  return get_interface<net_fw_policy, ::INetFwPolicy>(
      [manager](::INetFwPolicy** p) { return com(manager)->get_LocalPolicy(p); }, policy);
}

hresult net_fw_policy_get_current_profile(net_fw_policy* policy, net_fw_profile** profile) {
  return get_interface<net_fw_profile, ::INetFwProfile>(
      [policy](::INetFwProfile** p) { return com(policy)->get_CurrentProfile(p); }, profile);
}

hresult net_fw_profile_get_authorized_applications(net_fw_profile* profile,
                                                   net_fw_authorized_applications** applications) {
  return get_interface<net_fw_authorized_applications, ::INetFwAuthorizedApplications>(
      [profile](::INetFwAuthorizedApplications** p) { return com(profile)->get_AuthorizedApplications(p); },
      applications);
}

hresult net_fw_authorized_applications_item(net_fw_authorized_applications* applications, bstr path,
                                            net_fw_authorized_application** application) {
  return get_interface<net_fw_authorized_application, ::INetFwAuthorizedApplication>(
      [applications, path](::INetFwAuthorizedApplication** p) { return com(applications)->Item(com(path), p); },
      application);
}

hresult net_fw_authorized_applications_add(net_fw_authorized_applications* applications,
                                           net_fw_authorized_application* application) {
  return com(applications)->Add(com(application));
}

hresult net_fw_authorized_application_get_enabled(net_fw_authorized_application* application,
                                                  variant_bool* enabled) {
  return com(application)->get_Enabled(enabled);
}

hresult net_fw_authorized_application_put_process_image_file_name(net_fw_authorized_application* application,
                                                                  bstr path) {
  return com(application)->put_ProcessImageFileName(com(path));
}

hresult net_fw_authorized_application_put_name(net_fw_authorized_application* application, bstr name) {
  return com(application)->put_Name(com(name));
}

void release(net_fw_mgr* manager) { com(manager)->Release(); }
void release(net_fw_policy* policy) { com(policy)->Release(); }
void release(net_fw_profile* profile) { com(profile)->Release(); }
void release(net_fw_authorized_applications* applications) { com(applications)->Release(); }
void release(net_fw_authorized_application* application) { com(application)->Release(); }

}  // namespace plat
