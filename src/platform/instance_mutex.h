// The named mutex that keeps two updaters from working on the same game edition at once.
#ifndef SRC_PLATFORM_INSTANCE_MUTEX_H
#define SRC_PLATFORM_INSTANCE_MUTEX_H

#include <memory>
#include <string>

namespace platform {

class InstanceMutex {
public:
    // Creates the named mutex (a lock file of that name in the runtime or temp folder where
    // the system has no named mutexes). One that already exists is not a failure: null only
    // when nothing could be created.
    static std::unique_ptr<InstanceMutex> Create(const std::string& name);
    virtual ~InstanceMutex() = default;  // releases the mutex
};

}  // namespace platform

#endif  // SRC_PLATFORM_INSTANCE_MUTEX_H
