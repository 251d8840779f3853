// Start-up initialisers of the framework's classes: functions collected per priority while the
// statics are set up, each one once, to be run later in ascending priority.
#ifndef SRC_FRAMEWORK_INITIALIZER_H
#define SRC_FRAMEWORK_INITIALIZER_H

#include <cstdint>

#include "base/array.h"
#include "base/hash_table.h"

using Initializer = void (*)();

class InitializerTable {
public:
    static constexpr int32_t kPriorities = 256;

    InitializerTable();

    // A function is kept once, at the priority of its first registration: a repeat returns
    // null. Priorities are clamped into 0..255. Returns the new list entry.
    Initializer* Register(Initializer function, int32_t priority);
    // One past the highest priority registered so far.
    int32_t Count() const { return lists_.Count(); }
    const Array<Initializer>& List(int32_t priority) const { return lists_.At(priority); }
    // Every list in ascending priority, each in registration order; only the first call runs.
    void RunAll();

private:
    Array<Array<Initializer>> lists_;
    HashTable<Initializer, bool> registered_;
    bool ran_ = false;
};

// The process-wide table that the classes register into.
InitializerTable& StartupInitializers();
Initializer* RegisterInitializer(Initializer function, int32_t priority);
void RunInitializers();

// Registered by every class; does nothing.
void EmptyInitializer();

#endif  // SRC_FRAMEWORK_INITIALIZER_H
