#pragma once
// Result codes shared by every engine operation. Plain ints so that they travel
// unchanged from the engine through the workflows to the message boxes.

#include <string>

namespace brantle {

constexpr int kOk = 0;
constexpr int kErrOpen = -1;        // error opening communications
constexpr int kErrTimeout = -2;     // communications timeout
constexpr int kErrUnexpected = -3;  // unexpected response
constexpr int kErrSpeed = -4;       // invalid speed
// The same code from the OptiFlash NOR commands: the address lies outside the
// identified flash.
constexpr int kErrAddress = -4;
// And from the file-system commands: argument lists that do not match (or a name
// too long to send).
constexpr int kErrArguments = -4;
constexpr int kErrCrc = -5;  // unrecoverable CRC error
// A loader image is missing, of the wrong size, or a demo image aimed at a real
// line; nothing was sent. The engine keeps a detail text naming the file.
constexpr int kErrLoader = -6;

// English text of a result code, as the phone-status texts show it.
std::string EngineErrorText(int code);

}  // namespace brantle
