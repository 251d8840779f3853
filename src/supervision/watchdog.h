// Watchdog: the supervision endpoint of a process. The updater is always the server side,
// which starts the game and keeps named parameters for it.
#ifndef SUPERVISION_WATCHDOG_H
#define SUPERVISION_WATCHDOG_H

#include "base/string.h"

class Watchdog {
public:
    virtual ~Watchdog() = default;

    // Adds a parameter; an existing name keeps its first value.
    virtual void SetParameter(const String& name, const String& value) = 0;
    // The first value of the name, empty when there is none.
    virtual String GetParameter(const String& name) const = 0;
    // Starts `program` as the supervised child `name`; the first token of `arguments` stands
    // for the program itself.
    virtual bool Execute(const String& name, const String& program, const String& arguments,
                         const String& logName) = 0;
    virtual bool IsServer() const = 0;
};

#endif  // SUPERVISION_WATCHDOG_H
