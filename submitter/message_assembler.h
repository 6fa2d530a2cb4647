// The worker's parser: turns the bytes of field lines into one message
// record at a time, with its value copies and its target node.
#ifndef SUBMITTER_MESSAGE_ASSEMBLER_H
#define SUBMITTER_MESSAGE_ASSEMBLER_H

#include <stddef.h>

#include <memory>
#include <string>

#include "shared/evt_message.h"

const size_t kMaxFieldNameLength = 126;
const size_t kMaxValueLength = 20478;
const size_t kValueSlots = 22;

// The standard host name that always denotes the local machine.
extern const char kLocalHostName[];
extern const char kEmptyMessageText[];  // "<empty>"

// Where the assembler's diagnostics go (standard error and the event log).
class DiagnosticSink {
public:
    virtual ~DiagnosticSink() = default;
    virtual void diagnostic(const std::string &text) = 0;
};

// Makes room for the copy of one value, as new char[] does; nullptr when no
// memory can be had.
using CopyAllocator = char *(*)(size_t size);
char *allocate_copy(size_t size);

class MessageAssembler {
public:
    explicit MessageAssembler(DiagnosticSink &sink, CopyAllocator allocate = allocate_copy);
    MessageAssembler(const MessageAssembler &) = delete;
    MessageAssembler &operator=(const MessageAssembler &) = delete;

    // Parses bytes until a message-ending line has been read or the bytes
    // run out. Returns how many bytes it took; `message_ended` tells which.
    // After a message-ending line the message is ready to send: the caller
    // sends record() to target_node(), then calls finish_message.
    size_t feed(const char *bytes, size_t count, bool *message_ended);

    const char *target_node() const { return target_node_; }
    OrlEvtMessage *record() { return &record_; }

    // Reports a failed send, releases the message's copies and starts a
    // fresh message.
    void finish_message(int send_result);

private:
    enum class Mode { name, value };

    void start_fresh_message();
    void append_to_name(char c);
    void append_to_value(char c);
    size_t append_value_run(const char *bytes, size_t count);
    void complete_field_line();
    void apply(const char *name, const char *copy);

    DiagnosticSink &sink_;
    CopyAllocator allocate_;
    Mode mode_;
    char name_[kMaxFieldNameLength + 1];
    size_t name_length_;
    char value_[kMaxValueLength + 1];
    size_t value_length_;
    OrlEvtMessage record_;
    std::unique_ptr<char[]> slots_[kValueSlots];
    size_t slots_used_;
    const char *target_node_;
    bool warned_name_too_long_;
    bool warned_value_too_long_;
    bool warned_slots_used_up_;
};

#endif
