// The stand-ins' wire format: one message frame from the client library to
// the event manager, one 4-byte answer back. All integers little-endian.
//
//   frame   = magic "MWK1", payload length (uint32), payload
//   payload = 7 x int32 (evtm_time .. evtm_type), evtm_severity (4 bytes),
//             12 x text (evtm_text .. evtm_tag), target node
//   text    = flag (1 byte: 0 absent, 1 present), length (uint32), bytes
//   node    = length (uint32), bytes
//   answer  = int32
#ifndef STANDINS_WIRE_H
#define STANDINS_WIRE_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "shared/evt_message.h"

namespace standins {

const size_t kFrameHeaderSize = 8;
const size_t kAnswerSize = 4;
// Far above the largest message that the submitter can build.
const uint32_t kMaxPayloadSize = 16u * 1024u * 1024u;
const int kIntegerFields = 7;

// A message as received: owns its texts.
struct WireMessage {
    int32_t integers[kIntegerFields] = {};  // evtm_time .. evtm_type
    char severity[4] = {};
    bool present[EVTM_TEXT_FIELDS] = {};
    std::string texts[EVTM_TEXT_FIELDS];
    std::string node;
};

// Appends the frame of `message` for `node` to `frame`. False when the
// message is too large for a frame.
bool wire_encode(const char *node, const OrlEvtMessage &message, std::string *frame);

enum class DecodeStatus { incomplete, complete, malformed };

// Decodes the frame at the start of `data`. On `complete`, `*frame_size`
// tells how many bytes it took.
DecodeStatus wire_decode(const char *data, size_t size, WireMessage *message, size_t *frame_size);

// A record whose texts refer into `message`, valid while `message` lives
// unchanged.
OrlEvtMessage wire_to_record(const WireMessage &message);

void wire_put_answer(int32_t code, unsigned char out[kAnswerSize]);
int32_t wire_get_answer(const unsigned char in[kAnswerSize]);

}  // namespace standins

#endif
