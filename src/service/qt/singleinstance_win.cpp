#include "service/qt/singleinstance.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

#include <windows.h>

namespace tally::service {

struct SingleInstance::Impl
{
    HANDLE mutex = nullptr;
    ~Impl()
    {
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
    }
};

SingleInstance::SingleInstance(QString name) : m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    if (m_impl)
        return true;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    if (!mutex)
        return false;
    // An abandoned mutex (its owner crashed) is ours now as well.
    const DWORD wait = WaitForSingleObject(mutex, 0);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return false;
    }
    m_impl = std::make_unique<Impl>();
    m_impl->mutex = mutex;
    return true;
}

} // namespace tally::service

#endif
