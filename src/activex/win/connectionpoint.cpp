#include "activex/win/connectionpoint.h"

#include "gridora.h"

#include <olectl.h>

#include <new>

namespace tally::activex::win {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer *container) : m_container(container) {}

ConnectionPoint::~ConnectionPoint()
{
    disconnectAll();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void **out)
{
    if (out == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint *>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef()
{
    return m_container->AddRef();
}

ULONG ConnectionPoint::Release()
{
    return m_container->Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID *iid)
{
    if (iid == nullptr)
        return E_POINTER;
    *iid = DIID_IActiveGridoraEvents;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer **out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = m_container;
    m_container->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown *sink, DWORD *cookie)
{
    if (sink == nullptr || cookie == nullptr)
        return E_POINTER;
    *cookie = 0;
    IDispatch *events = nullptr;
    // A sink may answer only to IDispatch; event calls go by dispatch id anyway.
    if (FAILED(
            sink->QueryInterface(DIID_IActiveGridoraEvents, reinterpret_cast<void **>(&events))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&events))))
        return CONNECT_E_CANNOTCONNECT;
    m_sinks.push_back(events);
    *cookie = static_cast<DWORD>(m_sinks.size());
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie)
{
    if (cookie == 0 || cookie > m_sinks.size() || m_sinks[cookie - 1] == nullptr)
        return CONNECT_E_NOCONNECTION;
    IDispatch *sink = m_sinks[cookie - 1];
    m_sinks[cookie - 1] = nullptr;
    sink->Release();
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections **out)
{
    if (out != nullptr)
        *out = nullptr;
    return E_NOTIMPL;
}

bool ConnectionPoint::connected() const
{
    for (IDispatch *sink : m_sinks)
        if (sink != nullptr)
            return true;
    return false;
}

void ConnectionPoint::fire(Event event, std::int16_t *key)
{
    // A copy: a sink may unadvise from inside its own event.
    const std::vector<IDispatch *> sinks = m_sinks;
    for (IDispatch *sink : sinks) {
        if (sink == nullptr)
            continue;
        sink->AddRef();
        VARIANT argument;
        VariantInit(&argument);
        DISPPARAMS params{nullptr, nullptr, 0, 0};
        SHORT value = key != nullptr ? *key : 0;
        if (key != nullptr) {
            argument.vt = VT_I2 | VT_BYREF;
            argument.piVal = &value;
            params.rgvarg = &argument;
            params.cArgs = 1;
        }
        const HRESULT hr = sink->Invoke(static_cast<DISPID>(event), IID_NULL, LOCALE_USER_DEFAULT,
                                        DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        if (key != nullptr && SUCCEEDED(hr))
            *key = value;
        sink->Release();
    }
}

void ConnectionPoint::disconnectAll()
{
    for (IDispatch *&sink : m_sinks) {
        if (sink != nullptr)
            sink->Release();
        sink = nullptr;
    }
}

namespace {

// Enumerates one connection point. A COM object: its last Release ends it.
class ConnectionPointEnumerator final : public IEnumConnectionPoints
{
public:
    ConnectionPointEnumerator(IConnectionPoint *point, ULONG position)
        : m_point(point), m_position(position)
    {
        m_point->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        if (out == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumConnectionPoints)) {
            *out = static_cast<IEnumConnectionPoints *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        return static_cast<ULONG>(InterlockedIncrement(&m_refs));
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint **points, ULONG *fetched) override
    {
        if (points == nullptr || (count > 1 && fetched == nullptr))
            return E_POINTER;
        ULONG n = 0;
        if (count > 0 && m_position == 0) {
            points[0] = m_point;
            m_point->AddRef();
            m_position = 1;
            n = 1;
        }
        if (fetched != nullptr)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const ULONG before = m_position;
        m_position = count > 0 ? 1 : m_position;
        return before + count <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints **out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = new (std::nothrow) ConnectionPointEnumerator(m_point, m_position);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~ConnectionPointEnumerator() { m_point->Release(); }

    LONG m_refs = 1;
    IConnectionPoint *m_point;
    ULONG m_position;
};

} // namespace

IEnumConnectionPoints *enumerateConnectionPoint(IConnectionPoint *point)
{
    return new (std::nothrow) ConnectionPointEnumerator(point, 0);
}

} // namespace tally::activex::win
