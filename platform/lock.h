// A plain lock for code built for Windows too, where the toolchain's
// thread model offers no std::mutex.
#ifndef PLATFORM_LOCK_H
#define PLATFORM_LOCK_H

namespace platform {

class Lock {
public:
    Lock();
    ~Lock();
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;

    void acquire();
    void release();

private:
    alignas(16) unsigned char storage_[64];
};

class LockGuard {
public:
    explicit LockGuard(Lock &lock) : lock_(lock) { lock_.acquire(); }
    ~LockGuard() { lock_.release(); }
    LockGuard(const LockGuard &) = delete;
    LockGuard &operator=(const LockGuard &) = delete;

private:
    Lock &lock_;
};

}  // namespace platform

#endif
