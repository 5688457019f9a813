#pragma once
#include <windows.h>

#include <oaidl.h>

// The add-in's class, type library and interfaces, and the host's add-in
// connection interface (the mingw headers do not declare it).

inline constexpr CLSID CLSID_QuorvalOAddin = {
    0xB8F298BE, 0xC41F, 0x4BAF, {0xA5, 0xA7, 0x55, 0xD9, 0x52, 0x71, 0x4F, 0x2E}};
inline constexpr GUID LIBID_QuorvalSmsOutlookAddinLib = {
    0xCEB11373, 0xBE5B, 0x49D1, {0xB7, 0x15, 0xFE, 0xB9, 0x95, 0xE2, 0x28, 0x26}};
inline constexpr IID IID_IQuorvalOAddin = {
    0x1F480563, 0x68EC, 0x4F79, {0x9D, 0x79, 0x62, 0x14, 0xB5, 0x9E, 0xC8, 0x1B}};
inline constexpr IID IID__IDTExtensibility2 = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
// The host platform's add-in designer library, where _IDTExtensibility2's
// type information lives.
inline constexpr GUID LIBID_AddInDesignerObjects = {
    0xAC0714F2, 0x3D04, 0x11D1, {0xAE, 0x7D, 0x00, 0xA0, 0xC9, 0x0F, 0x26, 0xF4}};

// The add-in's own dual interface: IDispatch with no members of its own.
struct IQuorvalOAddin : public IDispatch {};

struct _IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connectMode,
                                                 IDispatch* addInInstance, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int removeMode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

__CRT_UUID_DECL(IQuorvalOAddin, 0x1F480563, 0x68EC, 0x4F79, 0x9D, 0x79, 0x62, 0x14, 0xB5, 0x9E, 0xC8, 0x1B)
__CRT_UUID_DECL(_IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44)
