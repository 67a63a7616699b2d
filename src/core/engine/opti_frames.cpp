#include "engine/opti_frames.h"

#include "engine/opti_crc.h"
#include "engine/result_codes.h"

namespace brantle {
namespace {

constexpr uint32_t kReplyTimeoutMs = 3000;

struct Answer {
  const char* marker;   // "resp" / "rply"
  const char* status;   // "+ok+" / "+ok!"
  const char* trailer;  // "(hw)" / "eom."
};
const Answer kBootAnswer{"resp", "+ok+", "(hw)"};
const Answer kLoaderAnswer{"rply", "+ok!", "eom."};

std::string Framed(const std::string& command, const std::string& payload, const char* trailer) {
  std::string frame = command + LE32(static_cast<uint32_t>(payload.size())) + payload;
  if (!payload.empty()) frame += LE32(FrameCRC(payload));
  return frame + trailer;
}

// Both kinds of answer: skip anything before the "r", then check every field.
int Receive(Link& link, const Answer& kind, const std::string& command, std::string& payload,
            const std::string& waitText, const std::string& text, bool withProgress) {
  payload.clear();
  // Whatever comes before the "r" is skipped, but a line that never stops talking
  // must not hold us forever: skipping ends with the reply timeout.
  const uint64_t skipUntil = link.clock().NowMs() + kReplyTimeoutMs;
  uint8_t b = 0;
  for (;;) {
    if (!link.ReadByte(b, waitText, kReplyTimeoutMs)) return kErrTimeout;
    if (b == 'r') break;
    if (link.clock().NowMs() >= skipUntil) return kErrTimeout;
  }
  std::string field;
  if (!link.ReadString(field, 3, kReplyTimeoutMs, text)) return kErrTimeout;
  if ("r" + field != kind.marker) return kErrUnexpected;
  if (!link.ReadString(field, 4, kReplyTimeoutMs, text)) return kErrTimeout;
  if (field != command) return kErrUnexpected;
  if (!link.ReadString(field, 4, kReplyTimeoutMs, text)) return kErrTimeout;
  if (field != kind.status) return kErrUnexpected;
  if (!link.ReadString(field, 4, kReplyTimeoutMs, text)) return kErrTimeout;
  // Checked before anything is allocated for it.
  const uint32_t length = ReadLE32(field, 0);
  if (length > kOptiMaxPayload) return kErrUnexpected;
  if (length > 0) {
    if (withProgress) {
      payload.assign(length, '\0');
      if (!link.ReadBlock(reinterpret_cast<uint8_t*>(payload.data()), length, kReplyTimeoutMs,
                          text))
        return kErrTimeout;
    } else if (!link.ReadString(payload, length, kReplyTimeoutMs, text)) {
      return kErrTimeout;
    }
    if (!link.ReadString(field, 4, kReplyTimeoutMs, text)) return kErrTimeout;
    if (ReadLE32(field, 0) != FrameCRC(payload)) return kErrCrc;
  }
  if (!link.ReadString(field, 4, kReplyTimeoutMs, text)) return kErrTimeout;
  return field == kind.trailer ? kOk : kErrUnexpected;
}

}  // namespace

std::string LE32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

uint32_t ReadLE32(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && offset + i < bytes.size(); ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + i])) << (8 * i);
  return v;
}

void SendBootFrame(Link& link, const std::string& command, const std::string& payload,
                   const std::string& text) {
  link.WriteString(command + LE32(static_cast<uint32_t>(payload.size())));
  link.WriteBlock(reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), text);
  link.WriteString((payload.empty() ? std::string() : LE32(FrameCRC(payload))) + "(pc)");
}

int ReceiveBootResponse(Link& link, const std::string& command, std::string& payload,
                        const std::string& text) {
  const std::string bare = command[0] == '#' ? command.substr(1) : command;
  return Receive(link, kBootAnswer, bare, payload, link.Texts.TurnOnThePhone, text, false);
}

void SendLoaderFrame(Link& link, const std::string& command, const std::string& payload) {
  link.WriteString(Framed(command, payload, "EOT."));
}

int ReceiveLoaderReply(Link& link, const std::string& command, std::string& payload,
                       const std::string& text, bool withProgress) {
  return Receive(link, kLoaderAnswer, command, payload, text, text, withProgress);
}

}  // namespace brantle
