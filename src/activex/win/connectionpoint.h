#pragma once

#include "activex/automationmodel.h"

#include <ocidl.h>

#include <vector>

namespace tally::activex::win {

// The connection point of IActiveGridoraEvents. Keeps the connected sinks
// and, as the model's event sink, calls them by dispatch id. Owned by its
// control; its reference count forwards to the control.
class ConnectionPoint final : public IConnectionPoint, public EventSink
{
public:
    explicit ConnectionPoint(IConnectionPointContainer *container);
    ~ConnectionPoint() override;
    ConnectionPoint(const ConnectionPoint &) = delete;
    ConnectionPoint &operator=(const ConnectionPoint &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *sink, DWORD *cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **out) override;

    bool connected() const;
    void fire(Event event, std::int16_t *key) override;
    // Drops every sink (the control is going away).
    void disconnectAll();

private:
    IConnectionPointContainer *m_container; // not owned: the control owns this
    std::vector<IDispatch *> m_sinks;       // index + 1 is the cookie; nullptr once unadvised
};

// A new enumerator over the one connection point (the caller releases it),
// or nullptr when out of memory.
IEnumConnectionPoints *enumerateConnectionPoint(IConnectionPoint *point);

} // namespace tally::activex::win
