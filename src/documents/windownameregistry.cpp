#include "documents/windownameregistry.h"

#include <utility>

namespace tally::documents {

WindowNameRegistry::Lease::Lease(WindowNameRegistry &registry, std::string name)
    : m_registry(&registry), m_name(std::move(name))
{
}

WindowNameRegistry::Lease::~Lease()
{
    reset();
}

WindowNameRegistry::Lease::Lease(Lease &&other) noexcept
    : m_registry(std::exchange(other.m_registry, nullptr)), m_name(std::move(other.m_name))
{
}

WindowNameRegistry::Lease &WindowNameRegistry::Lease::operator=(Lease &&other) noexcept
{
    if (this != &other) {
        reset();
        m_registry = std::exchange(other.m_registry, nullptr);
        m_name = std::move(other.m_name);
    }
    return *this;
}

void WindowNameRegistry::Lease::reset()
{
    if (m_registry)
        m_registry->release(m_name);
    m_registry = nullptr;
}

WindowNameRegistry &WindowNameRegistry::instance()
{
    static WindowNameRegistry registry;
    return registry;
}

WindowNameRegistry::Lease WindowNameRegistry::acquire(std::string_view base)
{
    std::lock_guard lock(m_mutex);
    std::string name(base);
    for (int n = 1; m_names.contains(name); ++n)
        name = std::string(base) + "_" + std::to_string(n);
    m_names.insert(name);
    return Lease(*this, std::move(name));
}

bool WindowNameRegistry::inUse(std::string_view name) const
{
    std::lock_guard lock(m_mutex);
    return m_names.find(name) != m_names.end();
}

void WindowNameRegistry::release(const std::string &name)
{
    std::lock_guard lock(m_mutex);
    m_names.erase(name);
}

} // namespace tally::documents
