#include "platform/lock.h"

#include <pthread.h>

#include <new>

namespace platform {

namespace {
pthread_mutex_t *mutex_in(unsigned char *storage) {
    return reinterpret_cast<pthread_mutex_t *>(storage);
}
}  // namespace

Lock::Lock() {
    static_assert(sizeof(pthread_mutex_t) <= sizeof storage_, "lock storage too small");
    static_assert(alignof(pthread_mutex_t) <= 16, "lock storage misaligned");
    pthread_mutex_init(new (storage_) pthread_mutex_t, nullptr);
}

Lock::~Lock() {
    pthread_mutex_destroy(mutex_in(storage_));
}

void Lock::acquire() {
    pthread_mutex_lock(mutex_in(storage_));
}

void Lock::release() {
    pthread_mutex_unlock(mutex_in(storage_));
}

}  // namespace platform
