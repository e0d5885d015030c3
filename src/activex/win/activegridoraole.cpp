// ActiveGridora's OLE control side: siting, in-place activation, drawing,
// sizing and persistence.
#include "activex/win/activegridora.h"

#include "activex/win/module.h"

namespace tally::activex::win {

namespace {

template <typename T> void releaseAndClear(T *&p)
{
    if (p != nullptr)
        p->Release();
    p = nullptr;
}

constexpr DWORD kMiscStatus = 205201;

} // namespace

// IOleObject

HRESULT ActiveGridora::SetClientSite(IOleClientSite *site)
{
    if (site != nullptr)
        site->AddRef();
    releaseAndClear(m_site);
    m_site = site;
    return S_OK;
}

HRESULT ActiveGridora::GetClientSite(IOleClientSite **site)
{
    if (site == nullptr)
        return E_POINTER;
    *site = m_site;
    if (m_site != nullptr)
        m_site->AddRef();
    return S_OK;
}

HRESULT ActiveGridora::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

HRESULT ActiveGridora::Close(DWORD)
{
    InPlaceDeactivate();
    if (m_adviseHolder != nullptr)
        m_adviseHolder->SendOnClose();
    return S_OK;
}

HRESULT ActiveGridora::SetMoniker(DWORD, IMoniker *)
{
    return E_NOTIMPL;
}

HRESULT ActiveGridora::GetMoniker(DWORD, DWORD, IMoniker **moniker)
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT ActiveGridora::InitFromData(IDataObject *, BOOL, DWORD)
{
    return E_NOTIMPL;
}

HRESULT ActiveGridora::GetClipboardData(DWORD, IDataObject **data)
{
    if (data != nullptr)
        *data = nullptr;
    return E_NOTIMPL;
}

HRESULT ActiveGridora::DoVerb(LONG verb, LPMSG, IOleClientSite *site, LONG, HWND parent,
                              LPCRECT rect)
{
    if (site != nullptr && m_site == nullptr)
        SetClientSite(site);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        return activateInPlace(true, parent, rect);
    case OLEIVERB_INPLACEACTIVATE:
        return activateInPlace(false, parent, rect);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (m_window != nullptr)
            ShowWindow(m_window, SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES:
        return E_NOTIMPL; // the control has no property pages
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT ActiveGridora::activateInPlace(bool uiActivate, HWND parent, LPCRECT rect)
{
    if (m_window == nullptr) {
        if (m_site == nullptr)
            return E_UNEXPECTED;
        if (m_inPlaceSite == nullptr &&
            FAILED(m_site->QueryInterface(IID_IOleInPlaceSite,
                                          reinterpret_cast<void **>(&m_inPlaceSite))))
            return E_NOINTERFACE;
        if (m_inPlaceSite->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        m_inPlaceSite->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        m_inPlaceSite->GetWindow(&siteWindow);
        IOleInPlaceFrame *frame = nullptr;
        IOleInPlaceUIWindow *document = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo);
        releaseAndClear(frame);
        releaseAndClear(document);
        if (rect != nullptr)
            position = *rect;
        m_window = m_form->embed(siteWindow != nullptr ? siteWindow : parent, position);
        if (m_window == nullptr) {
            m_inPlaceSite->OnInPlaceDeactivate();
            return E_FAIL;
        }
    }
    ShowWindow(m_window, SW_SHOW);
    if (uiActivate && !m_uiActive) {
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
        IOleInPlaceFrame *frame = nullptr;
        IOleInPlaceUIWindow *document = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(
                m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
            if (frame != nullptr)
                frame->SetActiveObject(this, nullptr);
            if (document != nullptr)
                document->SetActiveObject(this, nullptr);
        }
        releaseAndClear(frame);
        releaseAndClear(document);
        SetFocus(m_window);
    }
    return S_OK;
}

HRESULT ActiveGridora::EnumVerbs(IEnumOLEVERB **verbs)
{
    return OleRegEnumVerbs(CLSID_ActiveGridora, verbs);
}

HRESULT ActiveGridora::Update()
{
    return S_OK;
}

HRESULT ActiveGridora::IsUpToDate()
{
    return S_OK;
}

HRESULT ActiveGridora::GetUserClassID(CLSID *clsid)
{
    return GetClassID(clsid);
}

HRESULT ActiveGridora::GetUserType(DWORD form, LPOLESTR *type)
{
    return OleRegGetUserType(CLSID_ActiveGridora, form, type);
}

HRESULT ActiveGridora::SetExtent(DWORD aspect, SIZEL *size)
{
    if (size == nullptr)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    m_extent = *size;
    return S_OK;
}

HRESULT ActiveGridora::GetExtent(DWORD aspect, SIZEL *size)
{
    if (size == nullptr)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *size = m_extent;
    return S_OK;
}

HRESULT ActiveGridora::Advise(IAdviseSink *sink, DWORD *cookie)
{
    if (m_adviseHolder == nullptr && FAILED(CreateOleAdviseHolder(&m_adviseHolder)))
        return E_OUTOFMEMORY;
    return m_adviseHolder->Advise(sink, cookie);
}

HRESULT ActiveGridora::Unadvise(DWORD cookie)
{
    return m_adviseHolder != nullptr ? m_adviseHolder->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT ActiveGridora::EnumAdvise(IEnumSTATDATA **advise)
{
    if (advise == nullptr)
        return E_POINTER;
    *advise = nullptr;
    return m_adviseHolder != nullptr ? m_adviseHolder->EnumAdvise(advise) : S_OK;
}

HRESULT ActiveGridora::GetMiscStatus(DWORD, DWORD *status)
{
    if (status == nullptr)
        return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

HRESULT ActiveGridora::SetColorScheme(LOGPALETTE *)
{
    return E_NOTIMPL;
}

// IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject

HRESULT ActiveGridora::GetWindow(HWND *window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = m_window;
    return m_window != nullptr ? S_OK : E_FAIL;
}

HRESULT ActiveGridora::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

HRESULT ActiveGridora::InPlaceDeactivate()
{
    if (m_window == nullptr)
        return S_OK;
    UIDeactivate();
    m_form->unembed();
    m_window = nullptr;
    if (m_inPlaceSite != nullptr)
        m_inPlaceSite->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT ActiveGridora::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite != nullptr) {
        IOleInPlaceFrame *frame = nullptr;
        IOleInPlaceUIWindow *document = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(
                m_inPlaceSite->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
            if (frame != nullptr)
                frame->SetActiveObject(nullptr, nullptr);
            if (document != nullptr)
                document->SetActiveObject(nullptr, nullptr);
        }
        releaseAndClear(frame);
        releaseAndClear(document);
        m_inPlaceSite->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT ActiveGridora::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (position == nullptr)
        return E_POINTER;
    if (m_window != nullptr)
        m_form->setBounds(*position);
    return S_OK;
}

HRESULT ActiveGridora::ReactivateAndUndo()
{
    return INPLACE_E_NOTUNDOABLE;
}

HRESULT ActiveGridora::TranslateAccelerator(LPMSG)
{
    return S_FALSE; // no accelerators of its own
}

HRESULT ActiveGridora::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT ActiveGridora::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT ActiveGridora::ResizeBorder(LPCRECT, IOleInPlaceUIWindow *, BOOL)
{
    return S_OK;
}

HRESULT ActiveGridora::EnableModeless(BOOL)
{
    return S_OK;
}

// IViewObject2

HRESULT ActiveGridora::Draw(DWORD aspect, LONG, void *, DVTARGETDEVICE *, HDC, HDC drawDc,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE *)(ULONG_PTR),
                            ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (drawDc == nullptr || bounds == nullptr)
        return E_INVALIDARG;
    const RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
    m_form->draw(drawDc, rect);
    return S_OK;
}

HRESULT ActiveGridora::GetColorSet(DWORD, LONG, void *, DVTARGETDEVICE *, HDC, LOGPALETTE **colors)
{
    if (colors != nullptr)
        *colors = nullptr;
    return S_FALSE;
}

HRESULT ActiveGridora::Freeze(DWORD, LONG, void *, DWORD *)
{
    return E_NOTIMPL;
}

HRESULT ActiveGridora::Unfreeze(DWORD)
{
    return E_NOTIMPL;
}

HRESULT ActiveGridora::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink *sink)
{
    if (sink != nullptr)
        sink->AddRef();
    releaseAndClear(m_viewSink);
    m_viewSink = sink;
    m_viewAspects = aspects;
    m_viewFlags = flags;
    return S_OK;
}

HRESULT ActiveGridora::GetAdvise(DWORD *aspects, DWORD *flags, IAdviseSink **sink)
{
    if (aspects != nullptr)
        *aspects = m_viewAspects;
    if (flags != nullptr)
        *flags = m_viewFlags;
    if (sink != nullptr) {
        *sink = m_viewSink;
        if (m_viewSink != nullptr)
            m_viewSink->AddRef();
    }
    return S_OK;
}

HRESULT ActiveGridora::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE *, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

// IPersistStreamInit: the control keeps no state between sessions; the page
// hands it everything through DoPrint1.

HRESULT ActiveGridora::GetClassID(CLSID *clsid)
{
    if (clsid == nullptr)
        return E_POINTER;
    *clsid = CLSID_ActiveGridora;
    return S_OK;
}

HRESULT ActiveGridora::IsDirty()
{
    return S_FALSE;
}

HRESULT ActiveGridora::Load(LPSTREAM)
{
    return S_OK;
}

HRESULT ActiveGridora::Save(LPSTREAM, BOOL)
{
    return S_OK;
}

HRESULT ActiveGridora::GetSizeMax(ULARGE_INTEGER *size)
{
    if (size == nullptr)
        return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

HRESULT ActiveGridora::InitNew()
{
    return S_OK;
}

// IOleControl

HRESULT ActiveGridora::GetControlInfo(CONTROLINFO *info)
{
    if (info == nullptr)
        return E_POINTER;
    info->cb = sizeof *info;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT ActiveGridora::OnMnemonic(MSG *)
{
    return E_NOTIMPL;
}

HRESULT ActiveGridora::OnAmbientPropertyChange(DISPID)
{
    return S_OK;
}

HRESULT ActiveGridora::FreezeEvents(BOOL)
{
    return S_OK;
}

} // namespace tally::activex::win
