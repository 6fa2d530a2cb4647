#include "platform/thread.h"

#include <pthread.h>

#include <atomic>
#include <new>

namespace platform {

namespace {

// Shared by the thread and the holder of its handle; whichever lets go of
// it last deletes it, since a retired thread may outlive its handle.
struct PosixThread {
    ThreadEntry entry;
    void *argument;
    std::atomic<uint32_t> exit_code{kStillActive};
    std::atomic<int> holders{2};
};

void let_go(PosixThread *thread) {
    if (thread->holders.fetch_sub(1) == 1)
        delete thread;
}

void *run(void *raw) {
    PosixThread *thread = static_cast<PosixThread *>(raw);
    thread->entry(thread->argument);
    thread->exit_code.store(0);
    let_go(thread);
    return nullptr;
}

}  // namespace

bool thread_start(ThreadEntry entry, void *argument, ThreadHandle *handle) {
    PosixThread *thread = new (std::nothrow) PosixThread;
    if (thread == nullptr)
        return false;
    thread->entry = entry;
    thread->argument = argument;
    pthread_t id;
    if (pthread_create(&id, nullptr, run, thread) != 0) {
        delete thread;
        return false;
    }
    pthread_detach(id);
    handle->system = thread;
    return true;
}

uint32_t thread_exit_code(ThreadHandle handle) {
    return static_cast<PosixThread *>(handle.system)->exit_code.load();
}

bool thread_stop(ThreadHandle) {
    return true;
}

void thread_release(ThreadHandle handle) {
    let_go(static_cast<PosixThread *>(handle.system));
}

}  // namespace platform
