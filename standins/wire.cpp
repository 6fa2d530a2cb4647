#include "standins/wire.h"

#include <string.h>

namespace standins {

namespace {

const char kMagic[4] = {'M', 'W', 'K', '1'};

void put_u32(std::string *out, uint32_t value) {
    const char bytes[4] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
                           static_cast<char>((value >> 16) & 0xff), static_cast<char>((value >> 24) & 0xff)};
    out->append(bytes, 4);
}

uint32_t get_u32(const unsigned char *in) {
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

void put_bytes(std::string *out, const char *text) {
    size_t length = strlen(text);
    put_u32(out, static_cast<uint32_t>(length));
    out->append(text, length);
}

// Reads the payload front to back; every read checks the remaining size.
struct Reader {
    const unsigned char *at;
    size_t left;

    bool u32(uint32_t *value) {
        if (left < 4)
            return false;
        *value = get_u32(at);
        at += 4;
        left -= 4;
        return true;
    }
    bool raw(void *out, size_t size) {
        if (left < size)
            return false;
        memcpy(out, at, size);
        at += size;
        left -= size;
        return true;
    }
    bool bytes(std::string *out) {
        uint32_t length = 0;
        if (!u32(&length) || left < length)
            return false;
        out->assign(reinterpret_cast<const char *>(at), length);
        at += length;
        left -= length;
        return true;
    }
};

bool decode_payload(Reader in, WireMessage *message) {
    for (int i = 0; i < kIntegerFields; ++i) {
        uint32_t value = 0;
        if (!in.u32(&value))
            return false;
        message->integers[i] = static_cast<int32_t>(value);
    }
    if (!in.raw(message->severity, sizeof message->severity))
        return false;
    for (int i = 0; i < EVTM_TEXT_FIELDS; ++i) {
        unsigned char flag = 0;
        if (!in.raw(&flag, 1) || flag > 1)
            return false;
        message->present[i] = flag == 1;
        message->texts[i].clear();
        if (message->present[i] && !in.bytes(&message->texts[i]))
            return false;
    }
    return in.bytes(&message->node) && in.left == 0;
}

}  // namespace

bool wire_encode(const char *node, const OrlEvtMessage &message, std::string *frame) {
    std::string payload;
    const int32_t integers[kIntegerFields] = {message.evtm_time,  message.evtm_msgnum, message.evtm_color,
                                              message.evtm_attrib, message.evtm_token, message.evtm_flags,
                                              message.evtm_type};
    for (int32_t value : integers)
        put_u32(&payload, static_cast<uint32_t>(value));
    payload.append(message.evtm_severity, sizeof message.evtm_severity);
    const char *const *texts = evtm_text_references(message);
    for (int i = 0; i < EVTM_TEXT_FIELDS; ++i) {
        payload.push_back(texts[i] != nullptr ? 1 : 0);
        if (texts[i] != nullptr)
            put_bytes(&payload, texts[i]);
    }
    put_bytes(&payload, node);
    if (payload.size() > kMaxPayloadSize)
        return false;
    frame->append(kMagic, sizeof kMagic);
    put_u32(frame, static_cast<uint32_t>(payload.size()));
    frame->append(payload);
    return true;
}

DecodeStatus wire_decode(const char *data, size_t size, WireMessage *message, size_t *frame_size) {
    size_t magic_seen = size < sizeof kMagic ? size : sizeof kMagic;
    if (memcmp(data, kMagic, magic_seen) != 0)
        return DecodeStatus::malformed;
    if (size < kFrameHeaderSize)
        return DecodeStatus::incomplete;
    uint32_t payload_size = get_u32(reinterpret_cast<const unsigned char *>(data) + 4);
    if (payload_size > kMaxPayloadSize)
        return DecodeStatus::malformed;
    if (size - kFrameHeaderSize < payload_size)
        return DecodeStatus::incomplete;
    Reader payload{reinterpret_cast<const unsigned char *>(data) + kFrameHeaderSize, payload_size};
    if (!decode_payload(payload, message))
        return DecodeStatus::malformed;
    *frame_size = kFrameHeaderSize + payload_size;
    return DecodeStatus::complete;
}

OrlEvtMessage wire_to_record(const WireMessage &message) {
    OrlEvtMessage record;
    memset(&record, 0, sizeof record);
    record.evtm_time = message.integers[0];
    record.evtm_msgnum = message.integers[1];
    record.evtm_color = message.integers[2];
    record.evtm_attrib = message.integers[3];
    record.evtm_token = message.integers[4];
    record.evtm_flags = message.integers[5];
    record.evtm_type = message.integers[6];
    memcpy(record.evtm_severity, message.severity, sizeof record.evtm_severity);
    record.evtm_severity[3] = '\0';  // a held text ends within its field
    const char **texts = const_cast<const char **>(evtm_text_references(record));
    for (int i = 0; i < EVTM_TEXT_FIELDS; ++i)
        texts[i] = message.present[i] ? message.texts[i].c_str() : nullptr;
    return record;
}

void wire_put_answer(int32_t code, unsigned char out[kAnswerSize]) {
    uint32_t value = static_cast<uint32_t>(code);
    for (size_t i = 0; i < kAnswerSize; ++i)
        out[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xff);
}

int32_t wire_get_answer(const unsigned char in[kAnswerSize]) {
    return static_cast<int32_t>(get_u32(in));
}

}  // namespace standins
