#include "service/qt/singleinstance.h"

#include <QtGlobal>

#ifndef Q_OS_WIN

#include <QDir>
#include <QLockFile>

#include <unistd.h>

namespace tally::service {

struct SingleInstance::Impl
{
    explicit Impl(const QString &path) : lock(path) {}
    QLockFile lock;
};

SingleInstance::SingleInstance(QString name) : m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    if (m_impl)
        return true;
    // One mark per user, as a session-local mutex would be.
    const QString path = QDir(QDir::tempPath())
                             .filePath(m_name + QLatin1Char('-') + QString::number(::getuid()) +
                                       QStringLiteral(".lock"));
    auto impl = std::make_unique<Impl>(path);
    // Age alone never makes a live instance's lock stale; a dead owner does.
    impl->lock.setStaleLockTime(0);
    if (!impl->lock.tryLock(0))
        return false;
    m_impl = std::move(impl);
    return true;
}

} // namespace tally::service

#endif
