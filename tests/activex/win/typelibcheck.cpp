// typelibcheck FILE: loads the type library embedded in FILE with
// LoadTypeLib and checks the library, IActiveGridora (against the automation
// model's dispatch table), IActiveGridoraEvents, the coclass and the four
// enumerations; then the file's other resources: the version block and the
// toolbox bitmap. Prints each difference; exit status 1 on any.
#include "activex/dispatchtable.h"
#include "gridora.h"

#include <oleauto.h>
#include <winver.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace tally::activex;

namespace {

int g_failures = 0;
int g_checks = 0;

void check(bool ok, const std::string &what)
{
    ++g_checks;
    if (!ok) {
        ++g_failures;
        std::printf("FAIL %s\n", what.c_str());
    }
}

std::string narrow(const wchar_t *text)
{
    std::string out;
    for (; text != nullptr && *text != 0; ++text)
        out += static_cast<char>(*text < 0x80 ? *text : '?');
    return out;
}

struct Doc
{
    std::string name;
    std::string help;
};

Doc documentation(ITypeInfo *info, MEMBERID id)
{
    BSTR name = nullptr, help = nullptr;
    info->GetDocumentation(id, &name, &help, nullptr, nullptr);
    Doc d{narrow(name), narrow(help)};
    SysFreeString(name);
    SysFreeString(help);
    return d;
}

std::string typeName(ITypeInfo *info, const TYPEDESC &desc)
{
    if (desc.vt == VT_PTR)
        return typeName(info, *desc.lptdesc) + "*";
    if (desc.vt != VT_USERDEFINED)
        return "vt" + std::to_string(desc.vt);
    ITypeInfo *ref = nullptr;
    if (FAILED(info->GetRefTypeInfo(desc.hreftype, &ref)))
        return "?";
    std::string name = documentation(ref, MEMBERID_NIL).name;
    ref->Release();
    return name;
}

// The automation type of a member as the library must declare it.
std::string expectedType(ValueType type)
{
    switch (type) {
    case ValueType::Boolean:
        return "vt" + std::to_string(VT_BOOL);
    case ValueType::Int16:
        return "vt" + std::to_string(VT_I2);
    case ValueType::Int32:
        return "vt" + std::to_string(VT_I4);
    case ValueType::Text:
        return "vt" + std::to_string(VT_BSTR);
    case ValueType::OleColor:
        // widl writes OLE_COLOR as the unsigned 32-bit type it stands for: it
        // cannot refer to an alias of an imported type library.
        return "vt" + std::to_string(VT_UI4);
    case ValueType::Font:
        return "IFontDisp*";
    case ValueType::BorderStyle:
        return "TxActiveFormBorderStyle";
    case ValueType::PrintScale:
        return "TxPrintScale";
    case ValueType::HelpType:
        return "TxHelpType";
    }
    return "?";
}

void checkLibrary(ITypeLib *lib)
{
    // Only the library's own items: nothing of stdole or ocidl copied in.
    check(lib->GetTypeInfoCount() == 7,
          "library holds 7 type descriptions, not " + std::to_string(lib->GetTypeInfoCount()));
    TLIBATTR *attr = nullptr;
    lib->GetLibAttr(&attr);
    check(IsEqualGUID(attr->guid, LIBID_Gridora), "library id");
    check(attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0, "library version 1.0");
    check(attr->lcid == 0, "library locale neutral");
    check((attr->wLibFlags & LIBFLAG_FCONTROL) != 0, "library flag control");
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, help = nullptr;
    lib->GetDocumentation(-1, &name, &help, nullptr, nullptr);
    check(narrow(name) == "Gridora", "library name");
    check(narrow(help) == "Gridora Library", "library help string");
    SysFreeString(name);
    SysFreeString(help);
}

// The functions of IActiveGridora as the model's table expands into them.
struct ExpectedFunction
{
    MEMBERID id;
    std::string name;
    INVOKEKIND kind;
    bool hidden;
    std::string type;
    std::vector<std::string> arguments;
};

std::vector<ExpectedFunction> expectedFunctions()
{
    std::vector<ExpectedFunction> out;
    for (const DispatchMember &m : dispatchMembers()) {
        const std::string name(m.name);
        const std::string type = expectedType(m.type);
        if (m.access == Access::Method) {
            std::vector<std::string> args;
            for (const Argument &a : m.arguments)
                args.emplace_back(a.name);
            out.push_back({m.dispId, name, INVOKE_FUNC, m.hidden, {}, args});
            continue;
        }
        out.push_back({m.dispId, name, INVOKE_PROPERTYGET, m.hidden, type, {}});
        if (m.access != Access::Read)
            out.push_back({m.dispId, name, INVOKE_PROPERTYPUT, m.hidden, type, {}});
        if (m.access == Access::ReadWriteRef)
            out.push_back({m.dispId, name, INVOKE_PROPERTYPUTREF, m.hidden, type, {}});
    }
    return out;
}

void checkInterface(ITypeLib *lib)
{
    ITypeInfo *dispatch = nullptr;
    check(SUCCEEDED(lib->GetTypeInfoOfGuid(IID_IActiveGridora, &dispatch)), "IActiveGridora");
    if (dispatch == nullptr)
        return;
    TYPEATTR *attr = nullptr;
    dispatch->GetTypeAttr(&attr);
    check((attr->wTypeFlags & TYPEFLAG_FDUAL) != 0, "IActiveGridora is dual");
    dispatch->ReleaseTypeAttr(attr);
    const Doc doc = documentation(dispatch, MEMBERID_NIL);
    check(doc.name == "IActiveGridora", "IActiveGridora name");
    check(doc.help == "Dispatch interface for ActiveGridora Control", "IActiveGridora help string");

    // The vtable side of the dual interface holds the order.
    HREFTYPE ref = 0;
    ITypeInfo *vtable = nullptr;
    if (FAILED(dispatch->GetRefTypeOfImplType(-1, &ref)) ||
        FAILED(dispatch->GetRefTypeInfo(ref, &vtable))) {
        check(false, "IActiveGridora's interface side");
        dispatch->Release();
        return;
    }
    vtable->GetTypeAttr(&attr);
    const std::vector<ExpectedFunction> expected = expectedFunctions();
    check(attr->typekind == TKIND_INTERFACE, "IActiveGridora vtable kind");
    check((attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0, "IActiveGridora is oleautomation");
    check(attr->cFuncs == expected.size(), "IActiveGridora has " + std::to_string(expected.size()) +
                                               " functions, not " + std::to_string(attr->cFuncs));
    const UINT count = attr->cFuncs;
    vtable->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count && i < expected.size(); ++i) {
        const ExpectedFunction &e = expected[i];
        FUNCDESC *f = nullptr;
        vtable->GetFuncDesc(i, &f);
        const std::string where = "IActiveGridora function " + std::to_string(i) + " " + e.name;
        check(f->memid == e.id, where + ": dispatch id " + std::to_string(f->memid));
        check(f->invkind == e.kind, where + ": invoke kind");
        check(((f->wFuncFlags & FUNCFLAG_FHIDDEN) != 0) == e.hidden, where + ": hidden flag");
        check(f->oVft == static_cast<SHORT>((7 + i) * sizeof(void *)), where + ": vtable slot");
        check(f->elemdescFunc.tdesc.vt == VT_HRESULT, where + ": returns HRESULT");
        check(documentation(vtable, f->memid).name == e.name, where + ": name");
        if (e.kind == INVOKE_FUNC) {
            check(f->cParams == static_cast<SHORT>(e.arguments.size()), where + ": argument count");
            std::vector<BSTR> names(e.arguments.size() + 1);
            UINT got = 0;
            vtable->GetNames(f->memid, names.data(), static_cast<UINT>(names.size()), &got);
            for (std::size_t a = 0; a < e.arguments.size(); ++a) {
                check(a + 1 < got && narrow(names[a + 1]) == e.arguments[a],
                      where + ": argument " + e.arguments[a]);
                check(f->lprgelemdescParam[a].tdesc.vt == VT_BSTR, where + ": text argument");
            }
            for (BSTR b : names)
                SysFreeString(b);
        } else {
            check(f->cParams == 1, where + ": one parameter");
            // A read returns through a final out parameter of a pointer type.
            const TYPEDESC &p = f->lprgelemdescParam[0].tdesc;
            const std::string type = e.kind == INVOKE_PROPERTYGET && p.vt == VT_PTR
                                         ? typeName(vtable, *p.lptdesc)
                                         : typeName(vtable, p);
            check(type == e.type, where + ": type " + type + ", expected " + e.type);
            if (e.kind == INVOKE_PROPERTYGET)
                check((f->lprgelemdescParam[0].paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0,
                      where + ": retval");
        }
        vtable->ReleaseFuncDesc(f);
    }
    vtable->Release();
    dispatch->Release();
}

void checkOleColorFromStdole(ITypeLib *lib)
{
    ITypeInfo *info = nullptr;
    lib->GetTypeInfoOfGuid(IID_IActiveGridora, &info);
    MEMBERID id = -501;
    LPOLESTR name = const_cast<LPOLESTR>(L"Color");
    if (info == nullptr || FAILED(info->GetIDsOfNames(&name, 1, &id))) {
        check(false, "Color by name");
        return;
    }
    check(id == -501, "Color's id by name");
    info->Release();
}

void checkEvents(ITypeLib *lib)
{
    ITypeInfo *info = nullptr;
    check(SUCCEEDED(lib->GetTypeInfoOfGuid(DIID_IActiveGridoraEvents, &info)),
          "IActiveGridoraEvents");
    if (info == nullptr)
        return;
    TYPEATTR *attr = nullptr;
    info->GetTypeAttr(&attr);
    check(attr->typekind == TKIND_DISPATCH, "IActiveGridoraEvents is a dispatch interface");
    check((attr->wTypeFlags & TYPEFLAG_FDUAL) == 0, "IActiveGridoraEvents is not dual");
    const auto events = eventMembers();
    check(attr->cFuncs == events.size(), "IActiveGridoraEvents event count");
    const UINT count = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    const Doc doc = documentation(info, MEMBERID_NIL);
    check(doc.help == "Events interface for ActiveGridora Control",
          "IActiveGridoraEvents help string");
    for (UINT i = 0; i < count && i < events.size(); ++i) {
        FUNCDESC *f = nullptr;
        info->GetFuncDesc(i, &f);
        const std::string name(events[i].name);
        check(f->memid == static_cast<MEMBERID>(events[i].event), name + ": dispatch id");
        check(documentation(info, f->memid).name == name, name + ": name");
        check(f->elemdescFunc.tdesc.vt == VT_VOID, name + ": no return value");
        check(f->cParams == static_cast<SHORT>(events[i].arguments.size()), name + ": arguments");
        if (f->cParams == 1) {
            const ELEMDESC &p = f->lprgelemdescParam[0];
            check(p.tdesc.vt == VT_PTR && p.tdesc.lptdesc->vt == VT_I2, name + ": Key is short*");
            check((p.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT)) ==
                      (PARAMFLAG_FIN | PARAMFLAG_FOUT),
                  name + ": Key is in and out");
        }
        info->ReleaseFuncDesc(f);
    }
    info->Release();
}

void checkCoclass(ITypeLib *lib)
{
    ITypeInfo *info = nullptr;
    check(SUCCEEDED(lib->GetTypeInfoOfGuid(CLSID_ActiveGridora, &info)), "ActiveGridora");
    if (info == nullptr)
        return;
    TYPEATTR *attr = nullptr;
    info->GetTypeAttr(&attr);
    check(attr->typekind == TKIND_COCLASS, "ActiveGridora is a coclass");
    check((attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0, "ActiveGridora is creatable");
    check((attr->wTypeFlags & TYPEFLAG_FCONTROL) != 0, "ActiveGridora is a control");
    check(attr->cImplTypes == 2, "ActiveGridora has two interfaces");
    info->ReleaseTypeAttr(attr);
    const Doc doc = documentation(info, MEMBERID_NIL);
    check(doc.name == "ActiveGridora", "coclass name");
    check(doc.help == "ActiveGridora Control", "coclass help string");
    const struct
    {
        const char *name;
        int flags;
    } impl[2] = {{"IActiveGridora", IMPLTYPEFLAG_FDEFAULT},
                 {"IActiveGridoraEvents", IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
    for (UINT i = 0; i < 2; ++i) {
        int flags = 0;
        HREFTYPE ref = 0;
        ITypeInfo *ri = nullptr;
        info->GetImplTypeFlags(i, &flags);
        info->GetRefTypeOfImplType(i, &ref);
        info->GetRefTypeInfo(ref, &ri);
        check(ri != nullptr && documentation(ri, MEMBERID_NIL).name == impl[i].name,
              std::string("coclass interface ") + impl[i].name);
        check(flags == impl[i].flags, std::string("coclass flags of ") + impl[i].name);
        if (ri != nullptr)
            ri->Release();
    }
    info->Release();
}

void checkEnums(ITypeLib *lib)
{
    struct Enum
    {
        const wchar_t *guid;
        const char *name;
        std::vector<std::pair<const char *, int>> values;
    };
    const std::vector<Enum> enums{
        {L"{206657F1-7831-4FE4-8301-C2B0C51CE433}",
         "TxActiveFormBorderStyle",
         {{"afbNone", 0}, {"afbSingle", 1}, {"afbSunken", 2}, {"afbRaised", 3}}},
        {L"{084B5189-00B1-4C48-A5BD-E85A7E14969D}",
         "TxPrintScale",
         {{"poNone", 0}, {"poProportional", 1}, {"poPrintToFit", 2}}},
        {L"{0894B86C-A625-47E0-9D7B-13B6DFF83FFE}",
         "TxMouseButton",
         {{"mbLeft", 0}, {"mbRight", 1}, {"mbMiddle", 2}}},
        {L"{A9840584-043E-4588-8E4F-6A66043BB2AF}",
         "TxHelpType",
         {{"htKeyword", 0}, {"htContext", 1}}},
    };
    for (const Enum &e : enums) {
        GUID guid;
        CLSIDFromString(e.guid, &guid);
        ITypeInfo *info = nullptr;
        check(SUCCEEDED(lib->GetTypeInfoOfGuid(guid, &info)), std::string(e.name) + " by GUID");
        if (info == nullptr)
            continue;
        TYPEATTR *attr = nullptr;
        info->GetTypeAttr(&attr);
        check(attr->typekind == TKIND_ENUM, std::string(e.name) + " is an enumeration");
        check(attr->cVars == e.values.size(), std::string(e.name) + " value count");
        const UINT count = attr->cVars;
        info->ReleaseTypeAttr(attr);
        const Doc doc = documentation(info, MEMBERID_NIL);
        check(doc.name == e.name, std::string(e.name) + " name");
        check(doc.help.empty(), std::string(e.name) + " has no help string");
        for (UINT i = 0; i < count && i < e.values.size(); ++i) {
            VARDESC *v = nullptr;
            info->GetVarDesc(i, &v);
            check(documentation(info, v->memid).name == e.values[i].first,
                  std::string(e.name) + " value name " + e.values[i].first);
            check(v->varkind == VAR_CONST && V_I4(v->lpvarValue) == e.values[i].second,
                  std::string(e.name) + " value of " + e.values[i].first);
            info->ReleaseVarDesc(v);
        }
        info->Release();
    }
}

std::string versionText(const std::vector<char> &block, const wchar_t *name)
{
    struct Translation
    {
        WORD language;
        WORD codePage;
    } *translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void **>(&translation), &size) ||
        size < sizeof *translation)
        return "<no translation>";
    wchar_t path[80];
    swprintf(path, 80, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->codePage, name);
    wchar_t *text = nullptr;
    if (!VerQueryValueW(block.data(), path, reinterpret_cast<void **>(&text), &size))
        return "<missing>";
    return narrow(text);
}

void checkResources(const wchar_t *file)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &handle);
    std::vector<char> block(size);
    check(size > 0 && GetFileVersionInfoW(file, 0, size, block.data()), "version block");
    if (size == 0)
        return;
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    check(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length) &&
              fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0 &&
              fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0,
          "file and product version 1.0.0.0");
    check(versionText(block, L"OleSelfRegister") == "1", "version block OleSelfRegister \"1\"");
    check(versionText(block, L"FileVersion") == "1.0.0.0", "version block FileVersion text");
    check(versionText(block, L"CompanyName").empty(), "version block's other texts are empty");

    HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    check(module != nullptr && FindResourceW(module, MAKEINTRESOURCEW(1),
                                             MAKEINTRESOURCEW(2) /* RT_BITMAP */) != nullptr,
          "toolbox bitmap resource 1");
    check(module != nullptr && FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB") != nullptr,
          "type library resource \"TYPELIB\" 1");
    if (module != nullptr)
        FreeLibrary(module);
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2) {
        std::printf("usage: typelibcheck FILE\n");
        return 2;
    }
    ITypeLib *lib = nullptr;
    if (FAILED(LoadTypeLib(argv[1], &lib))) {
        std::printf("FAIL LoadTypeLib\n");
        return 1;
    }
    checkLibrary(lib);
    checkInterface(lib);
    checkOleColorFromStdole(lib);
    checkEvents(lib);
    checkCoclass(lib);
    checkEnums(lib);
    lib->Release();
    checkResources(argv[1]);
    std::printf("typelib: %d checks, %d failed\n", g_checks, g_failures);
    return g_failures == 0 ? 0 : 1;
}
