#pragma once
// The scoped owners of the Windows handles the add-in holds: each handle is
// owned from the moment it is returned, moves with its owner and is closed
// once, so that no path out of a function leaks one or closes one twice.
#include <windows.h>
#include <wininet.h>

#include <memory>
#include <type_traits>
#include <utility>

// A kernel handle (file, event, process, thread).
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~UniqueHandle() { Close(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  HANDLE get() const { return handle_; }
  // CreateFileW fails with INVALID_HANDLE_VALUE, most other calls with null.
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  void Close() {
    if (valid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

  HANDLE handle_;
};

// A WinINet handle (session, connection, request).
struct InternetHandleCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using unique_hinternet = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetHandleCloser>;

// A GDI object the code created (bitmap, pen, region): DeleteObject.
template <typename Handle>
struct GdiObjectDeleter {
  void operator()(Handle handle) const { DeleteObject(handle); }
};
template <typename Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter<Handle>>;

// A memory device context from CreateCompatibleDC: DeleteDC.
struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for a scope; what was selected
// before comes back at its end, before the object itself may be deleted.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  Selection(Selection&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
  Selection& operator=(Selection&&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
