// eventclient: hosts Gridora.ActiveGridora in Wine's ATL control host window
// (a container none of us wrote), connects an event sink, types characters
// into the control and checks what the sink saw and what the form received,
// then releases everything and asks the library whether it can unload.
#include "gridora.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void check(bool ok, const char *what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        ++g_failures;
}

// Records the events it gets; answers OnKeyPress with a replacement key.
class Sink final : public IDispatch
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, DIID_IActiveGridoraEvents)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; } // lives on the stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *,
                                     EXCEPINFO *, UINT *) override
    {
        events.push_back(id);
        if (id == 11 && params != nullptr && params->cArgs == 1 &&
            params->rgvarg[0].vt == (VT_I2 | VT_BYREF)) {
            seenKey = *params->rgvarg[0].piVal;
            *params->rgvarg[0].piVal = replacement;
        }
        return S_OK;
    }

    std::vector<DISPID> events;
    SHORT seenKey = 0;
    SHORT replacement = 'Z';
    ULONG m_refs = 1;
};

std::wstring windowText(HWND hwnd)
{
    wchar_t text[16] = {};
    GetWindowTextW(hwnd, text, 16);
    return text;
}

bool saw(const Sink &sink, DISPID id)
{
    for (DISPID e : sink.events)
        if (e == id)
            return true;
    return false;
}

} // namespace

int wmain()
{
    OleInitialize(nullptr);
    HMODULE atl = LoadLibraryW(L"atl100.dll");
    using InitFn = BOOL(WINAPI *)();
    using GetControlFn = HRESULT(WINAPI *)(HWND, IUnknown **);
    auto init =
        reinterpret_cast<InitFn>(reinterpret_cast<void *>(GetProcAddress(atl, "AtlAxWinInit")));
    auto getControl = reinterpret_cast<GetControlFn>(
        reinterpret_cast<void *>(GetProcAddress(atl, "AtlAxGetControl")));
    check(atl != nullptr && init != nullptr && getControl != nullptr && init(),
          "the ATL host window is there");
    if (g_failures != 0)
        return 1;

    // The host window creates the control from its ProgID and activates it in place.
    HWND host = CreateWindowExW(0, L"AtlAxWin100", L"Gridora.ActiveGridora",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    check(host != nullptr, "the host window creates Gridora.ActiveGridora");
    IUnknown *control = nullptr;
    if (host == nullptr || FAILED(getControl(host, &control)) || control == nullptr) {
        check(false, "the host window holds the control");
        return 1;
    }
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE *)()>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"Gridora.ocx"), "DllCanUnloadNow")));
    check(canUnload != nullptr, "Gridora.ocx is loaded and exports DllCanUnloadNow");

    IActiveGridora *gridora = nullptr;
    control->QueryInterface(IID_IActiveGridora, reinterpret_cast<void **>(&gridora));
    VARIANT_BOOL visible = 0;
    check(gridora != nullptr && SUCCEEDED(gridora->get_Visible(&visible)) && visible == -1,
          "Visible reads -1 once the container shows the control");

    // By dispatch id, as a container calls.
    IDispatch *dispatch = gridora;
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    check(SUCCEEDED(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                     nullptr)) &&
              result.vt == VT_BOOL && result.boolVal == VARIANT_TRUE,
          "Invoke(1, get) gives VT_BOOL -1");
    VARIANT args[2];
    args[0].vt = VT_BSTR;
    args[0].bstrVal = SysAllocString(L"b"); // arguments go in reverse order
    args[1].vt = VT_BSTR;
    args[1].bstrVal = SysAllocString(L"a");
    DISPPARAMS two{args, nullptr, 2, 0};
    check(dispatch->Invoke(19, IID_NULL, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr) ==
              S_OK,
          "Invoke(19) calls GETFCGPATH");
    SysFreeString(args[0].bstrVal);
    SysFreeString(args[1].bstrVal);
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = 0;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    EXCEPINFO exception{};
    check(dispatch->Invoke(6, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, &exception,
                           nullptr) == DISP_E_EXCEPTION &&
              exception.bstrDescription != nullptr &&
              std::wstring(exception.bstrDescription) == L"bad resolution",
          "a failing member gives DISP_E_EXCEPTION with the failure's text");
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    check(FAILED(dispatch->Invoke(9, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                                  nullptr)),
          "Active cannot be written");

    HWND form = nullptr;
    IOleInPlaceObject *inPlace = nullptr;
    if (SUCCEEDED(
            control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void **>(&inPlace)))) {
        inPlace->GetWindow(&form);
        inPlace->Release();
    }
    check(form != nullptr && IsChild(host, form), "the form's window sits in the host window");

    // No sink yet: the character reaches the form unchanged.
    SendMessageW(form, WM_CHAR, 'b', 0);
    check(windowText(form) == L"b", "without a sink the form gets its own key");

    Sink sink;
    IConnectionPointContainer *container = nullptr;
    IConnectionPoint *point = nullptr;
    DWORD cookie = 0;
    control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void **>(&container));
    check(container != nullptr &&
              SUCCEEDED(container->FindConnectionPoint(DIID_IActiveGridoraEvents, &point)) &&
              SUCCEEDED(point->Advise(&sink, &cookie)),
          "a sink connects to IActiveGridoraEvents");
    if (point == nullptr)
        return 1;

    SendMessageW(form, WM_CHAR, 'a', 0);
    check(sink.seenKey == 'a', "OnKeyPress passes the typed key");
    check(windowText(form) == L"Z", "the form gets the key the sink put back");
    SendMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    check(saw(sink, 2), "a click raises OnClick");
    check(!saw(sink, 3), "OnCreate is never raised");

    IEnumConnectionPoints *points = nullptr;
    IConnectionPoint *listed = nullptr;
    ULONG fetched = 0;
    IID listedIid{};
    check(SUCCEEDED(container->EnumConnectionPoints(&points)) &&
              points->Next(1, &listed, &fetched) == S_OK && fetched == 1 &&
              SUCCEEDED(listed->GetConnectionInterface(&listedIid)) &&
              IsEqualIID(listedIid, DIID_IActiveGridoraEvents) &&
              points->Next(1, &listed, &fetched) == S_FALSE,
          "EnumConnectionPoints lists the event connection point once");
    if (listed != nullptr)
        listed->Release();
    if (points != nullptr)
        points->Release();

    IProvideClassInfo2 *classInfo = nullptr;
    GUID source{};
    check(SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2,
                                            reinterpret_cast<void **>(&classInfo))) &&
              SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)) &&
              IsEqualGUID(source, DIID_IActiveGridoraEvents),
          "IProvideClassInfo2 names the event interface");
    if (classInfo != nullptr)
        classInfo->Release();

    // What a container asks to size, draw and keep the control.
    IOleObject *ole = nullptr;
    control->QueryInterface(IID_IOleObject, reinterpret_cast<void **>(&ole));
    DWORD misc = 0;
    SIZEL extent{};
    check(ole != nullptr && SUCCEEDED(ole->GetMiscStatus(DVASPECT_CONTENT, &misc)) &&
              misc == 205201,
          "GetMiscStatus answers 205201");
    SIZEL wanted{10000, 5000};
    check(ole != nullptr && SUCCEEDED(ole->SetExtent(DVASPECT_CONTENT, &wanted)) &&
              SUCCEEDED(ole->GetExtent(DVASPECT_CONTENT, &extent)) && extent.cx == 10000 &&
              extent.cy == 5000,
          "the extent a container sets is the extent it reads");
    if (ole != nullptr)
        ole->Release();
    IViewObject2 *view = nullptr;
    control->QueryInterface(IID_IViewObject2, reinterpret_cast<void **>(&view));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 32);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECTL bounds{0, 0, 64, 32};
    check(view != nullptr && SUCCEEDED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                  dc, &bounds, nullptr, nullptr, 0)),
          "IViewObject2 draws the control into a device context");
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    if (view != nullptr)
        view->Release();
    IPersistStreamInit *persist = nullptr;
    CLSID persisted{};
    check(SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit,
                                            reinterpret_cast<void **>(&persist))) &&
              SUCCEEDED(persist->GetClassID(&persisted)) &&
              IsEqualCLSID(persisted, CLSID_ActiveGridora),
          "IPersistStreamInit names the class");
    if (persist != nullptr)
        persist->Release();

    check(canUnload() == S_FALSE, "DllCanUnloadNow answers S_FALSE while the control lives");
    point->Unadvise(cookie);
    const std::size_t before = sink.events.size();
    SendMessageW(form, WM_CHAR, 'c', 0);
    check(sink.events.size() == before && windowText(form) == L"c",
          "after Unadvise the sink hears nothing");

    point->Release();
    container->Release();
    gridora->Release();
    control->Release();
    DestroyWindow(host);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    check(canUnload() == S_OK, "DllCanUnloadNow answers S_OK once every object is released");
    check(sink.m_refs == 1, "the control released the sink");

    OleUninitialize();
    std::printf("eventclient: %d failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
