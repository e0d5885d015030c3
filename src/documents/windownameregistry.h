#pragma once

#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace tally::documents {

// Hands out window names that are unique among the open windows: the base
// name while it is free, else the base with "_" and the lowest free number
// (PrintDHD, PrintDHD_1, PrintDHD_2, ...). A bill keys its page settings by
// its window's name, so two open forms of one class keep separate settings.
// Thread-safe.
class WindowNameRegistry
{
public:
    // Holds one name until destroyed.
    class Lease
    {
    public:
        Lease() = default;
        Lease(WindowNameRegistry &registry, std::string name);
        ~Lease();
        Lease(Lease &&other) noexcept;
        Lease &operator=(Lease &&other) noexcept;
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;

        const std::string &name() const { return m_name; }

    private:
        void reset();

        WindowNameRegistry *m_registry = nullptr;
        std::string m_name;
    };

    // The registry of the process's windows.
    static WindowNameRegistry &instance();

    // Takes the first free name for `base`; the lease gives it back.
    Lease acquire(std::string_view base);
    // Whether a name is currently taken.
    bool inUse(std::string_view name) const;

private:
    void release(const std::string &name);

    mutable std::mutex m_mutex;
    std::set<std::string, std::less<>> m_names;
};

} // namespace tally::documents
