#include "platform/thread.h"

#include <pthread.h>

#include <atomic>
#include <new>

namespace platform {

namespace {

struct PosixThread {
    ThreadEntry entry;
    void *argument;
    std::atomic<uint32_t> exit_code{kStillActive};
};

void *run(void *raw) {
    PosixThread *thread = static_cast<PosixThread *>(raw);
    thread->entry(thread->argument);
    thread->exit_code.store(0);
    return nullptr;
}

}  // namespace

bool thread_start(ThreadEntry entry, void *argument, ThreadHandle *handle) {
    // The control block lives as long as the process: a retired thread may
    // still write its exit code into it long after it was replaced.
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

}  // namespace platform
