#pragma once

#include "activex/automationmodel.h"
#include "activex/win/connectionpoint.h"
#include "activex/win/formwindow.h"
#include "gridora.h"

#include <ocidl.h>
#include <olectl.h>

#include <memory>

namespace tally::activex::win {

// One ActiveGridora control: IActiveGridora (dual, dispatched through the
// type library onto the automation model), the event connection point and
// the OLE control interfaces a container uses to site, activate in place,
// draw, size and persist it.
class ActiveGridora final : public IActiveGridora,
                            public IProvideClassInfo2,
                            public IConnectionPointContainer,
                            public IOleObject,
                            public IOleInPlaceObject,
                            public IOleInPlaceActiveObject,
                            public IViewObject2,
                            public IPersistStreamInit,
                            public IOleControl,
                            public ISupportErrorInfo
{
public:
    // The class factory's CreateInstance: a new control, queried for riid.
    static HRESULT create(REFIID riid, void **out);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR *names, UINT count, LCID lcid,
                                            DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS *params, VARIANT *result, EXCEPINFO *exception,
                                     UINT *argError) override;

    // IActiveGridora
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AutoScroll(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_AutoScroll(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AutoSize(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_AutoSize(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AxBorderStyle(TxActiveFormBorderStyle *value) override;
    HRESULT STDMETHODCALLTYPE put_AxBorderStyle(TxActiveFormBorderStyle value) override;
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Color(OLE_COLOR *value) override;
    HRESULT STDMETHODCALLTYPE put_Color(OLE_COLOR value) override;
    HRESULT STDMETHODCALLTYPE get_Font(IFontDisp **value) override;
    HRESULT STDMETHODCALLTYPE put_Font(IFontDisp *value) override;
    HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp *value) override;
    HRESULT STDMETHODCALLTYPE get_KeyPreview(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_KeyPreview(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_PixelsPerInch(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_PixelsPerInch(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_PrintScale(TxPrintScale *value) override;
    HRESULT STDMETHODCALLTYPE put_PrintScale(TxPrintScale value) override;
    HRESULT STDMETHODCALLTYPE get_Scaled(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_Scaled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Active(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_DropTarget(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_DropTarget(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_HelpFile(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_DoubleBuffered(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_DoubleBuffered(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AlignDisabled(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_VisibleDockClientCount(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Cursor(SHORT *value) override;
    HRESULT STDMETHODCALLTYPE put_Cursor(SHORT value) override;
    HRESULT STDMETHODCALLTYPE get_HelpType(TxHelpType *value) override;
    HRESULT STDMETHODCALLTYPE put_HelpType(TxHelpType value) override;
    HRESULT STDMETHODCALLTYPE get_HelpKeyword(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE put_HelpKeyword(BSTR value) override;
    HRESULT STDMETHODCALLTYPE DoPrint() override;
    HRESULT STDMETHODCALLTYPE GETFCGPATH(BSTR s1, BSTR s2) override;
    HRESULT STDMETHODCALLTYPE DoPrint1(BSTR title, BSTR data, BSTR preview) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID *guid) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint **out) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite *site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite **site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker *moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker **moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject *data, BOOL creation,
                                           DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject **data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite *site, LONG index,
                                     HWND parent, LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB **verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID *clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR *type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL *size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL *size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink *sink, DWORD *cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA **advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD *status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE *palette) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND *window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow *window,
                                           BOOL frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void *aspectInfo,
                                   DVTARGETDEVICE *device, HDC targetDc, HDC drawDc,
                                   LPCRECTL bounds, LPCRECTL windowBounds,
                                   BOOL(STDMETHODCALLTYPE *cont)(ULONG_PTR),
                                   ULONG_PTR contArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void *aspectInfo,
                                          DVTARGETDEVICE *device, HDC targetDc,
                                          LOGPALETTE **colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void *aspectInfo,
                                     DWORD *freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink *sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD *aspects, DWORD *flags, IAdviseSink **sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE *device,
                                        LPSIZEL size) override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER *size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO *info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG *msg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

private:
    ActiveGridora();
    ~ActiveGridora();

    HRESULT result(const CallResult &r);
    HRESULT getBool(int dispId, VARIANT_BOOL *value);
    HRESULT getInt32(int dispId, LONG *value);
    HRESULT getText(int dispId, BSTR *value);
    HRESULT put(int dispId, const Value &value);
    HRESULT activateInPlace(bool uiActivate, HWND parent, LPCRECT rect);
    HRESULT setFont(IFontDisp *value);

    LONG m_refs = 1;
    std::unique_ptr<FormWindow> m_form;
    std::unique_ptr<AutomationModel> m_model;
    std::unique_ptr<ConnectionPoint> m_events;
    ITypeInfo *m_typeInfo = nullptr;
    IOleClientSite *m_site = nullptr;
    IOleInPlaceSite *m_inPlaceSite = nullptr;
    IOleAdviseHolder *m_adviseHolder = nullptr;
    IAdviseSink *m_viewSink = nullptr;
    DWORD m_viewAspects = 0;
    DWORD m_viewFlags = 0;
    HWND m_window = nullptr;
    bool m_uiActive = false;
    SIZEL m_extent{}; // HIMETRIC
};

} // namespace tally::activex::win
