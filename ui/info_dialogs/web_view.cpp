#include "ui/info_dialogs/web_view.h"

#include <exdisp.h>
#include <ole2.h>
#include <shlwapi.h>

#include "win32/system_dll.h"

// Interface identifiers come from __uuidof, the constants the headers attach
// to each interface, rather than the IID_ variables of the uuid library,
// whose one object file holding them brings thousands of unused ones along.

namespace hx::ui {
namespace {

// The container side of in-place activation: the control asks its site for
// the window to live in and its frame, and tells it about its states. A
// dialog has no menus, toolbars or status line to share, so those requests
// are declined.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit BrowserSite(HWND host) : host_(host) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IOleClientSite)))
      *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, __uuidof(IOleWindow)) || IsEqualIID(riid, __uuidof(IOleInPlaceSite)))
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, __uuidof(IOleInPlaceUIWindow)) || IsEqualIID(riid, __uuidof(IOleInPlaceFrame)))
      *out = static_cast<IOleInPlaceFrame*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = host_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = this;
    AddRef();
    *document = nullptr;
    GetClientRect(host_, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(host_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  ~BrowserSite() = default;
  HWND host_;
  ULONG references_ = 1;
};

// The browser control without the HTML engine shows nothing and, on some
// systems, offers to download one; both are worse than plain text. Only the
// system's engine counts: a file of its name beside the program is not it.
bool HtmlEngineInstalled() {
  HMODULE engine = win::LoadSystemLibrary(L"mshtml.dll");
  if (!engine) return false;
  FreeLibrary(engine);
  return true;
}

}  // namespace

struct WebView::Parts {
  bool oleStarted = false;
  BrowserSite* site = nullptr;
  IOleObject* object = nullptr;
  IWebBrowser2* browser = nullptr;

  ~Parts() {
    if (browser) browser->Release();
    if (object) {
      IOleInPlaceObject* inPlace = nullptr;
      if (SUCCEEDED(object->QueryInterface(__uuidof(IOleInPlaceObject), reinterpret_cast<void**>(&inPlace))) && inPlace) {
        inPlace->InPlaceDeactivate();
        inPlace->Release();
      }
      object->Close(OLECLOSE_NOSAVE);
      object->SetClientSite(nullptr);
      object->Release();
    }
    if (site) site->Release();
    if (oleStarted) OleUninitialize();
  }
};

WebView::WebView(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
WebView::~WebView() = default;

std::unique_ptr<WebView> WebView::Create(HWND host) {
  if (!HtmlEngineInstalled()) return nullptr;
  auto parts = std::make_unique<Parts>();
  const HRESULT started = OleInitialize(nullptr);
  if (FAILED(started)) return nullptr;
  parts->oleStarted = true;
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IOleObject),
                              reinterpret_cast<void**>(&parts->object))) ||
      !parts->object)
    return nullptr;
  parts->site = new BrowserSite(host);
  if (FAILED(parts->object->SetClientSite(parts->site))) return nullptr;
  OleSetContainedObject(parts->object, TRUE);
  RECT area;
  GetClientRect(host, &area);
  if (FAILED(parts->object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, parts->site, 0, host, &area))) return nullptr;
  if (FAILED(parts->object->QueryInterface(__uuidof(IWebBrowser2), reinterpret_cast<void**>(&parts->browser))) ||
      !parts->browser)
    return nullptr;
  // Script errors of a page are no business of the person reading it.
  parts->browser->put_Silent(VARIANT_TRUE);
  return std::unique_ptr<WebView>(new WebView(std::move(parts)));
}

bool WebView::Navigate(const std::wstring& url, long flags) {
  BSTR address = SysAllocString(url.c_str());
  if (!address) return false;
  VARIANT navigationFlags;
  VariantInit(&navigationFlags);
  navigationFlags.vt = VT_I4;
  navigationFlags.lVal = flags;
  VARIANT none;
  VariantInit(&none);
  const HRESULT result = parts_->browser->Navigate(address, &navigationFlags, &none, &none, &none);
  SysFreeString(address);
  return SUCCEEDED(result);
}

std::wstring FileUrl(const std::wstring& path) {
  constexpr DWORD kMaxUrl = 2084;  // the longest URL the shell makes
  wchar_t url[kMaxUrl];
  DWORD length = kMaxUrl;
  if (SUCCEEDED(UrlCreateFromPathW(path.c_str(), url, &length, 0))) return url;
  std::wstring plain = L"file:///" + path;
  for (wchar_t& c : plain)
    if (c == L'\\') c = L'/';
  return plain;
}

}  // namespace hx::ui
