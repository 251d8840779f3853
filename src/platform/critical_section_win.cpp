#include "platform/critical_section.h"

#include <windows.h>

namespace platform {

struct CriticalSection::Native {
    CRITICAL_SECTION section;
};

CriticalSection::CriticalSection() : native_(new Native) {
    InitializeCriticalSection(&native_->section);
}

CriticalSection::~CriticalSection() {
    DeleteCriticalSection(&native_->section);
    delete native_;
}

void CriticalSection::Enter() { EnterCriticalSection(&native_->section); }
void CriticalSection::Leave() { LeaveCriticalSection(&native_->section); }

}  // namespace platform
