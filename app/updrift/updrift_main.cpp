// Updrift.exe: asks the program's web site whether a newer Horavex.KT
// exists and leaves the answer beside itself, in the Resource folder, for
// the clock program, which polls for it. It has no window and shows
// nothing; it never downloads or starts anything else.
//
// The answer, in this order:
//   1. a CheckReady of an earlier check is removed first, and CheckNVFalse
//      and CheckFailed with it;
//   2. CheckNVTrue.txt (CP1251, CR LF: version, date, web page, changes)
//      when the site names a version later than this release, CheckNVFalse
//      when it names this one or an older one, and CheckFailed when the
//      site cannot be reached or its answer is unusable (no description,
//      too large, an error status, a redirect it may not follow), or the
//      answer cannot be written;
//   3. only then CheckReady, which tells the clock that the answer is
//      complete.
// The whole check ends within 30 seconds, however the network behaves.
//
// The version description is read from product::kUpdateSource (its format:
// update/version_notice.h). The environment variable HX_UPDATE_SOURCE names
// another one, for an administrator's own mirror and for tests: an https://
// address, or an http:// one on this computer. Redirects are followed by
// this program itself, a few at most, and only where IsAllowedRedirect
// lets them lead: never to plain http:// elsewhere, never from https://
// down to http://.
#include <windows.h>
#include <wininet.h>

#include <string>
#include <type_traits>

#include "base/cp1251.h"
#include "core/product.h"
#include "update/version_notice.h"
#include "win32/system_dll.h"

namespace {

constexpr DWORD kNetworkTimeoutMs = 10000;  // each of connect, send and receive
constexpr DWORD kCheckTimeoutMs = 20000;    // the whole fetch; starting and writing the answer take the rest
constexpr int kMaxRedirects = 5;

std::wstring Widen(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

// The folder of this program file, with a final backslash.
std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::string SourceAddress() {
  wchar_t value[2100];
  const DWORD n = GetEnvironmentVariableW(L"HX_UPDATE_SOURCE", value, 2100);
  if (n > 0 && n < 2100) {
    const std::string address = Narrow(value);
    if (hx::IsAllowedSource(address)) return address;
  }
  return hx::product::kUpdateSource;
}

// The fetch runs in its own thread, so that the watchdog can give up on a
// network that stalls whatever the time-outs say.
struct Fetch {
  std::string address;
  std::string body;
  bool ok = false;
};

// The network library, loaded from the system folder when the check
// starts: a library of its name in the Resource folder must never run in
// its place, and the libraries a program imports are loaded before any of
// its own code could stop that.
struct WinInet {
  decltype(&InternetOpenW) Open = nullptr;
  decltype(&InternetOpenUrlW) OpenUrl = nullptr;
  decltype(&InternetSetOptionW) SetOption = nullptr;
  decltype(&InternetQueryOptionW) QueryOption = nullptr;
  decltype(&HttpQueryInfoW) QueryInfo = nullptr;
  decltype(&InternetReadFile) ReadFile = nullptr;
  decltype(&InternetCloseHandle) CloseHandle = nullptr;

  // False when the library or one of its functions is missing.
  bool Load() {
    HMODULE library = hx::win::LoadSystemLibrary(L"wininet.dll");
    if (!library) return false;
    auto find = [library](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
          reinterpret_cast<void*>(GetProcAddress(library, name)));
      return function != nullptr;
    };
    return find(Open, "InternetOpenW") && find(OpenUrl, "InternetOpenUrlW") &&
           find(SetOption, "InternetSetOptionW") && find(QueryOption, "InternetQueryOptionW") &&
           find(QueryInfo, "HttpQueryInfoW") && find(ReadFile, "InternetReadFile") &&
           find(CloseHandle, "InternetCloseHandle");
  }
};
WinInet g_net;

class Internet {
 public:
  explicit Internet(HINTERNET handle) : handle_(handle) {}
  ~Internet() {
    if (handle_) g_net.CloseHandle(handle_);
  }
  Internet(const Internet&) = delete;
  Internet& operator=(const Internet&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

// The address a request has reached, as the network library tells it.
std::string RequestAddress(HINTERNET request) {
  wchar_t url[2100] = L"";
  DWORD size = sizeof url;
  if (!g_net.QueryOption(request, INTERNET_OPTION_URL, url, &size)) return {};
  return Narrow(url);
}

std::string LocationHeader(HINTERNET request) {
  wchar_t location[2100] = L"";
  DWORD size = sizeof location;
  if (!g_net.QueryInfo(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) return {};
  return Narrow(location);
}

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

DWORD WINAPI RunFetch(void* param) {
  auto* fetch = static_cast<Fetch*>(param);
  if (!g_net.Load()) return 1;
  Internet session(g_net.Open(L"Updrift/" HX_VERSION_NUMBER " (Horavex.KT)", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.get()) return 1;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    DWORD ms = kNetworkTimeoutMs;
    g_net.SetOption(session.get(), option, &ms, sizeof ms);
  }
  DWORD retries = 1;
  g_net.SetOption(session.get(), INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

  // No cache, no cookies, no dialogs: a fresh answer or none. Redirects
  // are read here, so that a disallowed one is never fetched.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH |
                      INTERNET_FLAG_NO_AUTO_REDIRECT;
  std::string address = fetch->address;
  for (int hop = 0;; ++hop) {
    Internet request(g_net.OpenUrl(session.get(), Widen(address).c_str(), nullptr, 0, flags, 0));
    if (!request.get()) return 1;
    // Where the answer came from, whatever the library did on its way.
    if (!hx::IsAllowedRedirect(address, RequestAddress(request.get()))) return 1;
    DWORD status = 0, size = sizeof status;
    if (!g_net.QueryInfo(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
      return 1;
    if (IsRedirect(status)) {
      const auto next = hx::ResolveLocation(address, LocationHeader(request.get()));
      if (hop == kMaxRedirects || !next || !hx::IsAllowedRedirect(address, *next)) return 1;
      address = *next;
      continue;
    }
    if (status != 200) return 1;

    char buffer[4096];
    for (;;) {
      DWORD read = 0;
      if (!g_net.ReadFile(request.get(), buffer, sizeof buffer, &read)) return 1;
      if (read == 0) break;
      if (fetch->body.size() + read > hx::kMaxDescriptionBytes) return 1;
      fetch->body.append(buffer, read);
    }
    fetch->ok = true;
    return 0;
  }
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                    written == bytes.size());
  return CloseHandle(file) && ok;
}

// CheckNVTrue.txt appears whole or not at all.
bool WriteNewVersionFile(const std::wstring& folder, const hx::VersionDescription& description) {
  const std::wstring path = folder + L"CheckNVTrue.txt", temporary = path + L".new";
  if (!WriteBytes(temporary, hx::Utf8ToCp1251(hx::NewVersionFileText(description)))) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(temporary.c_str());
  return false;
}

// The system shows the "starting" cursor for a new GUI process until it
// first asks for a message; a program without windows says so at once.
void EndStartingCursor() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  GetMessageW(&msg, nullptr, 0, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The internet library loads further libraries while it works; none of
  // them may come from the Resource folder.
  hx::win::RestrictDllSearchToSystemFolder();
  EndStartingCursor();
  const std::wstring folder = OwnFolder();
  DeleteFileW((folder + L"CheckReady").c_str());
  DeleteFileW((folder + L"CheckNVFalse").c_str());
  DeleteFileW((folder + L"CheckFailed").c_str());

  auto* fetch = new Fetch{SourceAddress(), {}, false};
  HANDLE worker = CreateThread(nullptr, 0, RunFetch, fetch, 0, nullptr);
  const bool finished = worker && WaitForSingleObject(worker, kCheckTimeoutMs) == WAIT_OBJECT_0;

  const wchar_t* marker = L"CheckFailed";  // none when CheckNVTrue.txt is the answer
  if (finished && fetch->ok) {
    const auto description = hx::ParseVersionDescription(fetch->body);
    if (description && !hx::IsNewerVersion(description->version, hx::product::kVersionNumber))
      marker = L"CheckNVFalse";
    else if (description && WriteNewVersionFile(folder, *description))
      marker = nullptr;
  }
  bool answered = !marker || WriteBytes(folder + marker, "");
  answered = WriteBytes(folder + L"CheckReady", "") && answered;

  const UINT exitCode = answered ? 0 : 1;
  // A fetch still hanging in the network library is cut off without
  // waiting for it; everything this program leaves is on disk already.
  if (!finished) TerminateProcess(GetCurrentProcess(), exitCode);
  if (worker) CloseHandle(worker);
  delete fetch;
  return static_cast<int>(exitCode);
}
