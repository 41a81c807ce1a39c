// The system's web browser control (the one Internet Explorer is built on),
// embedded in a child window through a small OLE in-place container.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

namespace hx::ui {

class WebView {
 public:
  // The control filling `host`'s client area, or nullptr when the system has
  // no browser control or no HTML engine behind it. Nothing is reported:
  // the caller shows something else in its place.
  static std::unique_ptr<WebView> Create(HWND host);
  ~WebView();
  WebView(const WebView&) = delete;
  WebView& operator=(const WebView&) = delete;

  // Opens a page; `flags` are the browser's navigation flags (such as
  // navNoReadFromCache | navNoWriteToCache). False when the browser refused.
  bool Navigate(const std::wstring& url, long flags);

 private:
  struct Parts;
  explicit WebView(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

// The file URL of a local path ("file:///C:/Program%20Files/..."), as the
// browser expects it.
std::wstring FileUrl(const std::wstring& path);

}  // namespace hx::ui
