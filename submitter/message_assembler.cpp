#include "submitter/message_assembler.h"

#include <string.h>

#include <new>

#include "shared/event_reporter.h"
#include "shared/text.h"
#include "submitter/keywords.h"

const char kLocalHostName[] = "localhost";
const char kEmptyMessageText[] = "<empty>";

namespace {

template <typename T>
T &field_at(OrlEvtMessage &record, size_t offset) {
    return *reinterpret_cast<T *>(reinterpret_cast<char *>(&record) + offset);
}

}  // namespace

char *allocate_copy(size_t size) {
    return new (std::nothrow) char[size];
}

MessageAssembler::MessageAssembler(DiagnosticSink &sink, CopyAllocator allocate) : sink_(sink), allocate_(allocate) {
    start_fresh_message();
}

void MessageAssembler::start_fresh_message() {
    for (auto &slot : slots_)
        slot.reset();
    slots_used_ = 0;
    memset(&record_, 0, sizeof record_);
    record_.evtm_text = kEmptyMessageText;
    target_node_ = kLocalHostName;
    mode_ = Mode::name;
    name_length_ = 0;
    value_length_ = 0;
    warned_name_too_long_ = false;
    warned_value_too_long_ = false;
    warned_slots_used_up_ = false;
}

size_t MessageAssembler::feed(const char *bytes, size_t count, bool *message_ended) {
    *message_ended = false;
    for (size_t i = 0; i < count; ++i) {
        char c = bytes[i];
        if (mode_ == Mode::name) {
            if (c == '\t') {
                mode_ = Mode::value;
            } else if (text::is_line_end(c)) {
                *message_ended = true;
                return i + 1;
            } else {
                append_to_name(c);
            }
        } else if (text::is_line_end(c)) {
            complete_field_line();
        } else {
            i += append_value_run(bytes + i, count - i) - 1;
        }
    }
    return count;
}

// Takes the bytes of the value up to the next line end in one go.
size_t MessageAssembler::append_value_run(const char *bytes, size_t count) {
    const char *line_end = text::find_line_end(bytes, bytes + count);
    size_t run = line_end != nullptr ? static_cast<size_t>(line_end - bytes) : count;
    size_t room = kMaxValueLength - value_length_;
    size_t kept = run < room ? run : room;
    memcpy(value_ + value_length_, bytes, kept);
    value_length_ += kept;
    if (kept < run)
        append_to_value(bytes[kept]);  // over the limit: warns once
    return run;
}

void MessageAssembler::append_to_name(char c) {
    if (name_length_ < kMaxFieldNameLength) {
        name_[name_length_++] = c;
        return;
    }
    if (!warned_name_too_long_) {
        warned_name_too_long_ = true;
        sink_.diagnostic(format_text("Field portion too big.\nMax. field length is %d .\n",
                                     static_cast<int>(kMaxFieldNameLength)));
    }
}

void MessageAssembler::append_to_value(char c) {
    if (value_length_ < kMaxValueLength) {
        value_[value_length_++] = c;
        return;
    }
    if (!warned_value_too_long_) {
        warned_value_too_long_ = true;
        sink_.diagnostic(format_text("Data portion too big.\nMax. data length is %d .\n",
                                     static_cast<int>(kMaxValueLength)));
    }
}

void MessageAssembler::complete_field_line() {
    name_[name_length_] = '\0';
    value_[value_length_] = '\0';
    mode_ = Mode::name;
    name_length_ = 0;
    value_length_ = 0;

    // Once the slots are used up, further lines of the message are neither
    // applied nor stored: every text the record refers to stays alive.
    if (slots_used_ == kValueSlots)
        return;

    size_t length = strlen(value_);
    char *copy = allocate_(length + 1);
    if (copy == nullptr) {
        sink_.diagnostic(format_text("No memory for the value of field %s .", name_));
        return;
    }
    memcpy(copy, value_, length + 1);
    slots_[slots_used_++].reset(copy);
    apply(name_, copy);

    if (slots_used_ == kValueSlots && !warned_slots_used_up_) {
        warned_slots_used_up_ = true;
        sink_.diagnostic(format_text("Ran out of available fields.\nYou can only specify max. %d fields per "
                                     "message.\nInsert more empty lines into input.\n.",
                                     static_cast<int>(kValueSlots)));
    }
}

void MessageAssembler::apply(const char *name, const char *copy) {
    const Keyword *keyword = find_keyword(name);
    if (keyword == nullptr) {
        sink_.diagnostic(format_text("Unknown field %s .", name));
        return;
    }
    switch (keyword->action) {
    case KeywordAction::signed_decimal:
        field_at<int32_t>(record_, keyword->offset) = to_signed_decimal(copy);
        break;
    case KeywordAction::integer:
        field_at<int32_t>(record_, keyword->offset) = to_integer(copy);
        break;
    case KeywordAction::severity: {
        char *severity = record_.evtm_severity;
        size_t length = strnlen(copy, sizeof record_.evtm_severity - 1);
        memcpy(severity, copy, length);
        memset(severity + length, 0, sizeof record_.evtm_severity - length);
        break;
    }
    case KeywordAction::text:
        field_at<const char *>(record_, keyword->offset) = copy;
        break;
    case KeywordAction::target_node:
        target_node_ = copy;
        break;
    }
}

void MessageAssembler::finish_message(int send_result) {
    if (send_result != 0)
        sink_.diagnostic(format_text("Error writing to Velmora on host %s, error %d .", target_node_, send_result));
    start_fresh_message();
}
