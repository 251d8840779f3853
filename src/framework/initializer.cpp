#include "framework/initializer.h"

#include <algorithm>

InitializerTable::InitializerTable()
    : lists_(kPriorities, kPriorities), registered_(128) {}

Initializer* InitializerTable::Register(Initializer function, int32_t priority) {
    if (!registered_.Insert(function, true)) return nullptr;
    priority = std::clamp(priority, 0, kPriorities - 1);
    if (priority >= lists_.Count()) lists_.SetCount(priority + 1);
    return lists_.At(priority).Append(function);
}

void InitializerTable::RunAll() {
    if (ran_) return;
    ran_ = true;
    for (const Array<Initializer>& list : lists_) {
        for (Initializer function : list) function();
    }
}

InitializerTable& StartupInitializers() {
    static InitializerTable table;
    return table;
}

Initializer* RegisterInitializer(Initializer function, int32_t priority) {
    return StartupInitializers().Register(function, priority);
}

void RunInitializers() { StartupInitializers().RunAll(); }

void EmptyInitializer() {}
