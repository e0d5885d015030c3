// The in-process server: entry points, class factory and self-registration.
#include "activex/win/activegridora.h"
#include "activex/win/module.h"
#include "gridora.h"

#include <olectl.h>

#include <atomic>
#include <string>

namespace tally::activex::win {

namespace {

HINSTANCE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

constexpr const wchar_t *kProgId = L"Gridora.ActiveGridora";
constexpr const wchar_t *kDescription = L"ActiveGridora Control";
constexpr DWORD kMiscStatus = OLEMISC_SIMPLEFRAME | OLEMISC_ACTSLIKELABEL |
                              OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;
static_assert(kMiscStatus == 205201);
constexpr int kToolboxBitmap = 1;
constexpr WORD kLibraryMajor = 1;
constexpr WORD kLibraryMinor = 0;

std::wstring guidText(REFGUID guid)
{
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

bool setValue(HKEY root, const std::wstring &key, const wchar_t *name, const std::wstring &value)
{
    HKEY h = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG rc =
        RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

// The path the registry holds: the short form when the path has a blank, so
// containers that split command lines at blanks still find the library.
std::wstring registeredPath()
{
    std::wstring path = modulePath();
    if (path.find(L' ') == std::wstring::npos)
        return path;
    wchar_t shortPath[MAX_PATH];
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(shortPath, n) : path;
}

class ClassFactory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        if (out == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: it counts as a lock while referenced.
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        lockServer(true);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        lockServer(false);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        return ActiveGridora::create(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lockServer(lock != FALSE);
        return S_OK;
    }
};

ClassFactory g_factory;

ITypeLib *typeLibrary()
{
    static ITypeLib *library = [] {
        ITypeLib *lib = nullptr;
        // The library lives for the process: released only when the process ends.
        if (FAILED(LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, &lib)))
            return static_cast<ITypeLib *>(nullptr);
        return lib;
    }();
    return library;
}

} // namespace

HINSTANCE moduleHandle()
{
    return g_module;
}

std::wstring modulePath()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    return std::wstring(path, n);
}

void objectCreated()
{
    ++g_objects;
}

void objectDestroyed()
{
    --g_objects;
}

void lockServer(bool lock)
{
    if (lock)
        ++g_locks;
    else
        --g_locks;
}

bool canUnload()
{
    return g_objects == 0 && g_locks == 0;
}

ITypeInfo *typeInfoOf(REFGUID guid)
{
    ITypeLib *lib = typeLibrary();
    ITypeInfo *info = nullptr;
    if (lib == nullptr || FAILED(lib->GetTypeInfoOfGuid(guid, &info)))
        return nullptr;
    return info;
}

HRESULT registerServer()
{
    const std::wstring clsid = guidText(CLSID_ActiveGridora);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring path = registeredPath();
    wchar_t version[16];
    wsprintfW(version, L"%d.%d", kLibraryMajor, kLibraryMinor);
    const bool ok =
        setValue(HKEY_CLASSES_ROOT, classKey, nullptr, kDescription) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", nullptr, path) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel",
                 L"Apartment") &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", nullptr, kProgId) &&
        setValue(HKEY_CLASSES_ROOT, kProgId, nullptr, kDescription) &&
        setValue(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\Clsid", nullptr, clsid) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\Version", nullptr, version) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", nullptr, guidText(LIBID_Gridora)) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus", nullptr, L"0") &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus\\1", nullptr,
                 std::to_wstring(kMiscStatus)) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\ToolboxBitmap32", nullptr,
                 path + L"," + std::to_wstring(kToolboxBitmap)) &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\Control", nullptr, L"") &&
        setValue(HKEY_CLASSES_ROOT, classKey + L"\\Verb\\0", nullptr, L"Properties,0,2");
    if (!ok)
        return SELFREG_E_CLASS;
    ITypeLib *lib = typeLibrary();
    if (lib == nullptr)
        return SELFREG_E_TYPELIB;
    std::wstring libraryPath = modulePath();
    if (FAILED(RegisterTypeLib(lib, libraryPath.data(), nullptr)))
        return SELFREG_E_TYPELIB;
    return S_OK;
}

HRESULT unregisterServer()
{
    const std::wstring classKey = L"CLSID\\" + guidText(CLSID_ActiveGridora);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    TLIBATTR *attr = nullptr;
    ITypeLib *lib = typeLibrary();
    HRESULT hr = S_OK;
    if (lib != nullptr && SUCCEEDED(lib->GetLibAttr(&attr))) {
        hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                               attr->syskind);
        lib->ReleaseTLibAttr(attr);
    }
    // A library that was not registered is not an error when removing.
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
}

} // namespace tally::activex::win

using namespace tally::activex::win;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void **out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_ActiveGridora))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

STDAPI DllCanUnloadNow()
{
    return canUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return registerServer();
}

STDAPI DllUnregisterServer()
{
    return unregisterServer();
}
