#include "activex/win/activegridora.h"

#include "activex/win/comtext.h"
#include "activex/win/module.h"

#include <array>
#include <new>

namespace tally::activex::win {

namespace {

template <typename T> void releaseAndClear(T *&p)
{
    if (p != nullptr)
        p->Release();
    p = nullptr;
}

// Designed size of the form, 1126 x 602 pixels at 96 per inch, in HIMETRIC.
constexpr LONG kDesignWidth = 1126 * 2540 / 96;
constexpr LONG kDesignHeight = 602 * 2540 / 96;

} // namespace

HRESULT ActiveGridora::create(REFIID riid, void **out)
{
    ActiveGridora *control = new (std::nothrow) ActiveGridora();
    if (control == nullptr)
        return E_OUTOFMEMORY;
    if (control->m_typeInfo == nullptr) {
        control->Release();
        return TYPE_E_CANTLOADLIBRARY;
    }
    const HRESULT hr = control->QueryInterface(riid, out);
    control->Release();
    return hr;
}

ActiveGridora::ActiveGridora()
    : m_form(createFormWindow()), m_events(std::make_unique<ConnectionPoint>(this)),
      m_typeInfo(typeInfoOf(IID_IActiveGridora)), m_extent{kDesignWidth, kDesignHeight}
{
    // The model attaches to the form's events only now, after the form was
    // created, so OnCreate never reaches a sink.
    m_model = std::make_unique<AutomationModel>(m_form->form());
    m_model->setEventSink(m_events.get());
    objectCreated();
}

ActiveGridora::~ActiveGridora()
{
    InPlaceDeactivate();
    m_model->raise(Event::OnDestroy);
    m_model.reset();
    m_events->disconnectAll();
    m_form.reset();
    releaseAndClear(m_viewSink);
    releaseAndClear(m_adviseHolder);
    releaseAndClear(m_inPlaceSite);
    releaseAndClear(m_site);
    releaseAndClear(m_typeInfo);
    objectDestroyed();
}

HRESULT ActiveGridora::QueryInterface(REFIID riid, void **out)
{
    if (out == nullptr)
        return E_POINTER;
    void *p = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IActiveGridora))
        p = static_cast<IActiveGridora *>(this);
    else if (IsEqualIID(riid, IID_IProvideClassInfo) || IsEqualIID(riid, IID_IProvideClassInfo2))
        p = static_cast<IProvideClassInfo2 *>(this);
    else if (IsEqualIID(riid, IID_IConnectionPointContainer))
        p = static_cast<IConnectionPointContainer *>(this);
    else if (IsEqualIID(riid, IID_IOleObject))
        p = static_cast<IOleObject *>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject))
        p = static_cast<IOleInPlaceObject *>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceActiveObject))
        p = static_cast<IOleInPlaceActiveObject *>(this);
    else if (IsEqualIID(riid, IID_IViewObject) || IsEqualIID(riid, IID_IViewObject2))
        p = static_cast<IViewObject2 *>(this);
    else if (IsEqualIID(riid, IID_IPersist) || IsEqualIID(riid, IID_IPersistStreamInit))
        p = static_cast<IPersistStreamInit *>(this);
    else if (IsEqualIID(riid, IID_IOleControl))
        p = static_cast<IOleControl *>(this);
    else if (IsEqualIID(riid, IID_ISupportErrorInfo))
        p = static_cast<ISupportErrorInfo *>(this);
    *out = p;
    if (p == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG ActiveGridora::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

ULONG ActiveGridora::Release()
{
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) {
        // A COM object ends itself on its last Release; nothing else owns it.
        m_refs = 1; // calls made while tearing down must not end it twice
        delete this;
    }
    return static_cast<ULONG>(refs);
}

// IDispatch: the type library's own Invoke calls the vtable below, so dispatch
// ids, argument conversion and optional/named arguments follow the library.

HRESULT ActiveGridora::GetTypeInfoCount(UINT *count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT ActiveGridora::GetTypeInfo(UINT index, LCID, ITypeInfo **info)
{
    if (info == nullptr)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    m_typeInfo->AddRef();
    *info = m_typeInfo;
    return S_OK;
}

HRESULT ActiveGridora::GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    return DispGetIDsOfNames(m_typeInfo, names, count, ids);
}

HRESULT ActiveGridora::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS *params,
                              VARIANT *result, EXCEPINFO *exception, UINT *argError)
{
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    // Error information left over from an earlier call must not describe this one.
    SetErrorInfo(0, nullptr);
    return m_typeInfo->Invoke(static_cast<IActiveGridora *>(this), id, flags, params, result,
                              exception, argError);
}

// IActiveGridora: each member goes to the model by dispatch id.

HRESULT ActiveGridora::result(const CallResult &r)
{
    switch (r.status) {
    case CallStatus::Ok:
        return S_OK;
    case CallStatus::MemberNotFound:
        return DISP_E_MEMBERNOTFOUND;
    case CallStatus::BadArguments:
        return E_INVALIDARG;
    case CallStatus::Failed:
        break;
    }
    // The failure's text travels as error information, which the type
    // library's Invoke puts into the caller's EXCEPINFO.
    ICreateErrorInfo *create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        const std::wstring text = toWide(r.error);
        create->SetGUID(IID_IActiveGridora);
        create->SetSource(const_cast<LPOLESTR>(L"Gridora.ActiveGridora"));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        IErrorInfo *info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void **>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return E_FAIL;
}

HRESULT ActiveGridora::getBool(int dispId, VARIANT_BOOL *value)
{
    if (value == nullptr)
        return E_POINTER;
    const CallResult r = m_model->get(dispId);
    if (r.ok())
        *value = std::get<std::int16_t>(r.value);
    return result(r);
}

HRESULT ActiveGridora::getInt32(int dispId, LONG *value)
{
    if (value == nullptr)
        return E_POINTER;
    const CallResult r = m_model->get(dispId);
    if (r.ok())
        *value = std::get<std::int32_t>(r.value);
    return result(r);
}

HRESULT ActiveGridora::getText(int dispId, BSTR *value)
{
    if (value == nullptr)
        return E_POINTER;
    *value = nullptr;
    const CallResult r = m_model->get(dispId);
    if (r.ok())
        *value = toBstr(std::get<std::string>(r.value));
    return result(r);
}

HRESULT ActiveGridora::put(int dispId, const Value &value)
{
    return result(m_model->put(dispId, value));
}

template <typename E> static HRESULT getEnum(HRESULT hr, LONG v, E *value)
{
    if (SUCCEEDED(hr))
        *value = static_cast<E>(v);
    return hr;
}

HRESULT ActiveGridora::get_Visible(VARIANT_BOOL *value)
{
    return getBool(1, value);
}
HRESULT ActiveGridora::put_Visible(VARIANT_BOOL value)
{
    return put(1, std::int16_t{value});
}
HRESULT ActiveGridora::get_AutoScroll(VARIANT_BOOL *value)
{
    return getBool(2, value);
}
HRESULT ActiveGridora::put_AutoScroll(VARIANT_BOOL value)
{
    return put(2, std::int16_t{value});
}
HRESULT ActiveGridora::get_AutoSize(VARIANT_BOOL *value)
{
    return getBool(3, value);
}
HRESULT ActiveGridora::put_AutoSize(VARIANT_BOOL value)
{
    return put(3, std::int16_t{value});
}
HRESULT ActiveGridora::get_AxBorderStyle(TxActiveFormBorderStyle *value)
{
    if (value == nullptr)
        return E_POINTER;
    LONG v = 0;
    return getEnum(getInt32(4, &v), v, value);
}
HRESULT ActiveGridora::put_AxBorderStyle(TxActiveFormBorderStyle value)
{
    return put(4, std::int32_t{value});
}
HRESULT ActiveGridora::get_Caption(BSTR *value)
{
    return getText(kDispIdCaption, value);
}
HRESULT ActiveGridora::put_Caption(BSTR value)
{
    return put(kDispIdCaption, fromBstr(value));
}
HRESULT ActiveGridora::get_Color(OLE_COLOR *value)
{
    if (value == nullptr)
        return E_POINTER;
    const CallResult r = m_model->get(kDispIdBackColor);
    if (r.ok())
        *value = std::get<std::uint32_t>(r.value);
    return result(r);
}
HRESULT ActiveGridora::put_Color(OLE_COLOR value)
{
    return put(kDispIdBackColor, std::uint32_t{value});
}

HRESULT ActiveGridora::get_Font(IFontDisp **value)
{
    if (value == nullptr)
        return E_POINTER;
    *value = nullptr;
    const CallResult r = m_model->get(kDispIdFont);
    if (!r.ok())
        return result(r);
    const FontDesc &font = std::get<FontDesc>(r.value);
    std::wstring name = toWide(font.name);
    FONTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.lpstrName = name.data();
    desc.cySize.int64 = font.sizeCy;
    desc.sWeight = font.weight;
    desc.sCharset = font.charset;
    desc.fItalic = font.italic;
    desc.fUnderline = font.underline;
    desc.fStrikethrough = font.strikethrough;
    return OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void **>(value));
}

HRESULT ActiveGridora::setFont(IFontDisp *value)
{
    if (value == nullptr)
        return E_POINTER;
    IFont *font = nullptr;
    if (FAILED(value->QueryInterface(IID_IFont, reinterpret_cast<void **>(&font))))
        return E_INVALIDARG;
    FontDesc desc;
    BSTR name = nullptr;
    CY size{};
    BOOL italic = FALSE, underline = FALSE, strike = FALSE;
    font->get_Name(&name);
    font->get_Size(&size);
    font->get_Weight(&desc.weight);
    font->get_Charset(&desc.charset);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strike);
    font->Release();
    desc.name = fromBstr(name);
    SysFreeString(name);
    desc.sizeCy = size.int64;
    desc.italic = italic != FALSE;
    desc.underline = underline != FALSE;
    desc.strikethrough = strike != FALSE;
    return put(kDispIdFont, desc);
}

HRESULT ActiveGridora::put_Font(IFontDisp *value)
{
    return setFont(value);
}
HRESULT ActiveGridora::putref_Font(IFontDisp *value)
{
    return setFont(value);
}
HRESULT ActiveGridora::get_KeyPreview(VARIANT_BOOL *value)
{
    return getBool(5, value);
}
HRESULT ActiveGridora::put_KeyPreview(VARIANT_BOOL value)
{
    return put(5, std::int16_t{value});
}
HRESULT ActiveGridora::get_PixelsPerInch(LONG *value)
{
    return getInt32(6, value);
}
HRESULT ActiveGridora::put_PixelsPerInch(LONG value)
{
    return put(6, std::int32_t{value});
}
HRESULT ActiveGridora::get_PrintScale(TxPrintScale *value)
{
    if (value == nullptr)
        return E_POINTER;
    LONG v = 0;
    return getEnum(getInt32(7, &v), v, value);
}
HRESULT ActiveGridora::put_PrintScale(TxPrintScale value)
{
    return put(7, std::int32_t{value});
}
HRESULT ActiveGridora::get_Scaled(VARIANT_BOOL *value)
{
    return getBool(8, value);
}
HRESULT ActiveGridora::put_Scaled(VARIANT_BOOL value)
{
    return put(8, std::int16_t{value});
}
HRESULT ActiveGridora::get_Active(VARIANT_BOOL *value)
{
    return getBool(9, value);
}
HRESULT ActiveGridora::get_DropTarget(VARIANT_BOOL *value)
{
    return getBool(10, value);
}
HRESULT ActiveGridora::put_DropTarget(VARIANT_BOOL value)
{
    return put(10, std::int16_t{value});
}
HRESULT ActiveGridora::get_HelpFile(BSTR *value)
{
    return getText(11, value);
}
HRESULT ActiveGridora::put_HelpFile(BSTR value)
{
    return put(11, fromBstr(value));
}
HRESULT ActiveGridora::get_DoubleBuffered(VARIANT_BOOL *value)
{
    return getBool(12, value);
}
HRESULT ActiveGridora::put_DoubleBuffered(VARIANT_BOOL value)
{
    return put(12, std::int16_t{value});
}
HRESULT ActiveGridora::get_AlignDisabled(VARIANT_BOOL *value)
{
    return getBool(13, value);
}
HRESULT ActiveGridora::get_VisibleDockClientCount(LONG *value)
{
    return getInt32(14, value);
}
HRESULT ActiveGridora::get_Enabled(VARIANT_BOOL *value)
{
    return getBool(kDispIdEnabled, value);
}
HRESULT ActiveGridora::put_Enabled(VARIANT_BOOL value)
{
    return put(kDispIdEnabled, std::int16_t{value});
}
HRESULT ActiveGridora::get_Cursor(SHORT *value)
{
    if (value == nullptr)
        return E_POINTER;
    const CallResult r = m_model->get(15);
    if (r.ok())
        *value = std::get<std::int16_t>(r.value);
    return result(r);
}
HRESULT ActiveGridora::put_Cursor(SHORT value)
{
    return put(15, std::int16_t{value});
}
HRESULT ActiveGridora::get_HelpType(TxHelpType *value)
{
    if (value == nullptr)
        return E_POINTER;
    LONG v = 0;
    return getEnum(getInt32(16, &v), v, value);
}
HRESULT ActiveGridora::put_HelpType(TxHelpType value)
{
    return put(16, std::int32_t{value});
}
HRESULT ActiveGridora::get_HelpKeyword(BSTR *value)
{
    return getText(17, value);
}
HRESULT ActiveGridora::put_HelpKeyword(BSTR value)
{
    return put(17, fromBstr(value));
}

HRESULT ActiveGridora::DoPrint()
{
    return result(m_model->call(kDispIdDoPrint, {}));
}

HRESULT ActiveGridora::GETFCGPATH(BSTR s1, BSTR s2)
{
    const std::array<Value, 2> args{fromBstr(s1), fromBstr(s2)};
    return result(m_model->call(kDispIdGetFcgPath, args));
}

HRESULT ActiveGridora::DoPrint1(BSTR title, BSTR data, BSTR preview)
{
    const std::array<Value, 3> args{fromBstr(title), fromBstr(data), fromBstr(preview)};
    return result(m_model->call(kDispIdDoPrint1, args));
}

// IProvideClassInfo2

HRESULT ActiveGridora::GetClassInfo(ITypeInfo **info)
{
    if (info == nullptr)
        return E_POINTER;
    *info = typeInfoOf(CLSID_ActiveGridora);
    return *info != nullptr ? S_OK : E_UNEXPECTED;
}

HRESULT ActiveGridora::GetGUID(DWORD kind, GUID *guid)
{
    if (guid == nullptr)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    *guid = DIID_IActiveGridoraEvents;
    return S_OK;
}

// IConnectionPointContainer

HRESULT ActiveGridora::EnumConnectionPoints(IEnumConnectionPoints **out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = enumerateConnectionPoint(m_events.get());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ActiveGridora::FindConnectionPoint(REFIID riid, IConnectionPoint **out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(riid, DIID_IActiveGridoraEvents))
        return CONNECT_E_NOCONNECTION;
    *out = m_events.get();
    m_events->AddRef();
    return S_OK;
}

// ISupportErrorInfo

HRESULT ActiveGridora::InterfaceSupportsErrorInfo(REFIID riid)
{
    return IsEqualIID(riid, IID_IActiveGridora) ? S_OK : S_FALSE;
}

} // namespace tally::activex::win
