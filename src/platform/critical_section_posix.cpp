#include "platform/critical_section.h"

#include <pthread.h>

namespace platform {

struct CriticalSection::Native {
    pthread_mutex_t mutex;
};

CriticalSection::CriticalSection() : native_(new Native) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&native_->mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

CriticalSection::~CriticalSection() {
    pthread_mutex_destroy(&native_->mutex);
    delete native_;
}

void CriticalSection::Enter() { pthread_mutex_lock(&native_->mutex); }
void CriticalSection::Leave() { pthread_mutex_unlock(&native_->mutex); }

}  // namespace platform
