#include "platform/lock.h"

#include <windows.h>

#include <new>

namespace platform {

namespace {
SRWLOCK *srw_in(unsigned char *storage) {
    return reinterpret_cast<SRWLOCK *>(storage);
}
}  // namespace

Lock::Lock() {
    static_assert(sizeof(SRWLOCK) <= sizeof storage_, "lock storage too small");
    InitializeSRWLock(new (storage_) SRWLOCK);
}

// A slim reader/writer lock holds no resource and needs no release.
Lock::~Lock() = default;

void Lock::acquire() {
    AcquireSRWLockExclusive(srw_in(storage_));
}

void Lock::release() {
    ReleaseSRWLockExclusive(srw_in(storage_));
}

}  // namespace platform
