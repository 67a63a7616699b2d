#pragma once
// Framing of the OptiFlash protocol. The boot code takes boot frames and answers
// with boot responses; the uploaded loader takes loader frames and answers with
// loader replies. All integers are 32-bit little-endian; a payload is followed by
// its FrameCRC only when it is not empty.

#include <cstdint>
#include <string>

#include "engine/ktze_internals.h"

namespace brantle {

// The longest payload either side of the line may announce.
constexpr uint32_t kOptiMaxPayload = 0x100000;

// command, length, payload (through WriteBlock, so progress is reported), checksum,
// "(pc)". text is the status while the payload goes out.
void SendBootFrame(Link& link, const std::string& command, const std::string& payload,
                   const std::string& text);
// "resp", the command without "#", "+ok+", length, payload, checksum, "(hw)".
int ReceiveBootResponse(Link& link, const std::string& command, std::string& payload,
                        const std::string& text);

// command, length, payload, checksum, "EOT." in one write.
void SendLoaderFrame(Link& link, const std::string& command, const std::string& payload);
// "rply", the command, "+ok!", length, payload, checksum, "eom.". With progress the
// payload is received by the receive worker, which reports it as it arrives.
int ReceiveLoaderReply(Link& link, const std::string& command, std::string& payload,
                       const std::string& text, bool withProgress);

std::string LE32(uint32_t value);
uint32_t ReadLE32(const std::string& bytes, size_t offset);

}  // namespace brantle
