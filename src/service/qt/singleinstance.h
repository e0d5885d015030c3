#pragma once

#include <QString>

#include <memory>

namespace tally::service {

// Marks the one running instance of the program under a name. On Windows a
// named mutex; elsewhere a lock file in the temporary folder whose lock the
// system drops when the process ends, so a crashed instance does not block
// the next start.
class SingleInstance
{
public:
    explicit SingleInstance(QString name);
    // Releases the mark if this object holds it.
    ~SingleInstance();

    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // Takes the mark without waiting. False when another live instance
    // holds it (or the mark cannot be made at all).
    bool tryAcquire();

private:
    struct Impl;
    QString m_name;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tally::service
