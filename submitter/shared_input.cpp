#include "submitter/shared_input.h"

#include <string.h>

#include "platform/input.h"
#include "shared/text.h"

size_t TextModeFilter::translate(const char *raw, size_t size, char *out, bool *ended) {
    *ended = false;
    size_t written = 0;
    for (size_t i = 0; i < size; ++i) {
        char c = raw[i];
        if (cr_pending_) {
            cr_pending_ = false;
            if (c != '\n')
                out[written++] = '\r';
        }
        if (c == 0x1A && ctrl_z_ends_input_) {
            *ended = true;
            return written;
        }
        if (c == '\r')
            cr_pending_ = true;
        else
            out[written++] = c;
    }
    return written;
}

size_t TextModeFilter::finish(char *out) {
    if (!cr_pending_)
        return 0;
    cr_pending_ = false;
    out[0] = '\r';
    return 1;
}

namespace {

// Small enough for a console read, large enough that pipes and files take
// few system calls.
const size_t kBlockSize = 16384;

// Touched only by the holder of the input turn.
struct InputBuffer {
    char raw[kBlockSize];
    char text[kBlockSize + 1];
    size_t begin = 0;
    size_t end = 0;
    bool input_ended = false;
    TextModeFilter filter{platform::kCtrlZEndsInput};
};

InputBuffer the_input;

// One block from standard input into the buffer, translated.
void refill(InputBuffer &input) {
    input.begin = 0;
    input.end = 0;
    long got = platform::stdin_read(input.raw, kBlockSize);
    if (got <= 0) {
        input.input_ended = true;
        input.end = input.filter.finish(input.text);
        return;
    }
    bool ctrl_z = false;
    input.end = input.filter.translate(input.raw, static_cast<size_t>(got), input.text, &ctrl_z);
    if (ctrl_z)
        input.input_ended = true;
}

size_t copy_up_to_line_end(InputBuffer &input, char *destination, size_t capacity) {
    size_t available = input.end - input.begin;
    if (available > capacity)
        available = capacity;
    const char *start = input.text + input.begin;
    const char *line_end = text::find_line_end(start, start + available);
    size_t limit = line_end != nullptr ? static_cast<size_t>(line_end - start) + 1 : available;
    memcpy(destination, start, limit);
    input.begin += limit;
    return limit;
}

}  // namespace

TakeResult take_input(unsigned generation, char *destination, size_t capacity, size_t *taken) {
    *taken = 0;
    if (!platform::input_turn_take(generation))
        return TakeResult::retired;
    InputBuffer &input = the_input;
    while (input.begin == input.end) {
        if (input.input_ended) {
            platform::input_turn_release(generation);
            return TakeResult::end;
        }
        // Wait for input without holding the turn, so that a worker blocked
        // here never stands in the way of its replacement.
        platform::input_turn_release(generation);
        platform::stdin_wait_readable();
        if (!platform::input_turn_take(generation))
            return TakeResult::retired;
        if (input.begin == input.end && !input.input_ended)
            refill(input);
    }
    *taken = copy_up_to_line_end(input, destination, capacity);
    platform::input_turn_release(generation);
    return TakeResult::bytes;
}
