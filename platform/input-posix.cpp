#include "platform/input.h"

#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace platform {

const char kEndOfInputKeys[] = "Ctrl-D";
const bool kCtrlZEndsInput = false;

namespace {
pthread_mutex_t turn_lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t turn_moved = PTHREAD_COND_INITIALIZER;
unsigned turn_generation = 1;
}  // namespace

void stdin_wait_readable() {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    while (poll(&input, 1, -1) < 0 && errno == EINTR) {
    }
}

long stdin_read(char *buffer, size_t capacity) {
    for (;;) {
        ssize_t got = read(STDIN_FILENO, buffer, capacity);
        if (got >= 0)
            return static_cast<long>(got);
        if (errno != EINTR)
            return -1;
    }
}

bool input_turn_take(unsigned generation) {
    pthread_mutex_lock(&turn_lock);
    while (turn_generation < generation)
        pthread_cond_wait(&turn_moved, &turn_lock);
    if (turn_generation == generation)
        return true;
    pthread_mutex_unlock(&turn_lock);
    return false;
}

void input_turn_release(unsigned) {
    pthread_mutex_unlock(&turn_lock);
}

void input_turn_pass(unsigned generation) {
    pthread_mutex_lock(&turn_lock);
    turn_generation = generation;
    pthread_cond_broadcast(&turn_moved);
    pthread_mutex_unlock(&turn_lock);
}

}  // namespace platform
