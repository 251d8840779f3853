// A lock that the owning thread may enter again (a Windows critical section, a recursive
// pthread mutex elsewhere).
#ifndef SRC_PLATFORM_CRITICAL_SECTION_H
#define SRC_PLATFORM_CRITICAL_SECTION_H

namespace platform {

class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    void Leave();

private:
    struct Native;
    Native* native_;
};

}  // namespace platform

#endif
