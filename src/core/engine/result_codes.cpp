#include "engine/result_codes.h"

namespace brantle {

std::string EngineErrorText(int code) {
  switch (code) {
    case kOk:
      return "no error (strange)";
    case kErrOpen:
      return "error opening communications";
    case kErrTimeout:
      return "communications timeout";
    case kErrUnexpected:
      return "unexpected response";
    case kErrSpeed:
      return "invalid speed";
    case kErrCrc:
      return "unrecoverable CRC error";
    case kErrLoader:
      return "loader image unavailable";
    default:
      return "unknown error " + std::to_string(code);
  }
}

}  // namespace brantle
