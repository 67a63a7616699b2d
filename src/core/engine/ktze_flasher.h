#pragma once
// The E-family engine (E700, E800, E330; S500 runs as E700): bringing a phone in
// boot mode to a running second loader, the NOR sector commands, and the end of a
// connection. Every operation returns a result code (engine/result_codes.h) and
// shows nothing; status and progress go through the link's callbacks.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ktze_flashes.h"
#include "engine/ktze_internals.h"

namespace brantle {

class EEngine {
 public:
  explicit EEngine(Link& link);

  Link& link() { return link_; }

  std::string EngineFamily = "E700";
  uint32_t Loader1Size = 7169;
  uint32_t Loader2Size = 29848;
  EFlashInfo FlashInfo;
  // Where the loader images are read from (DefaultLoadersFolder() to start with).
  std::string LoadersFolder;
  // Why the last loader step returned kErrLoader: names the file and its size.
  const std::string& LoaderError() const { return loaderError_; }

  // Reads both loaders of the family and checks their sizes; false (LoaderError()
  // says why) when one is missing. The connect checks this before it boots the
  // phone, so that a missing file leaves the phone waiting in boot mode.
  bool LoadImages();

  // Connect sequence, in this order.
  int EInitPort(const std::string& port, const std::string& family);
  int EWaitBoot(uint32_t firstTimeoutMs, uint32_t nextTimeoutMs);
  int EBootCommand(uint8_t w0, uint8_t w1, uint8_t w2, uint8_t w3);
  int ESendLoader1();
  int ESwitchSpeed(uint32_t baud);
  int ESendLoader2();
  int ETerminate();
  int EClose();

  // One 64 KB sector; the program passes length 65536.
  int ERead(uint8_t sector, uint32_t length, uint8_t* buffer);
  int EProgram(uint8_t sector, uint32_t length, const uint8_t* buffer);
  int EErase(uint8_t sector, uint32_t length);

  // Writing files into the phone's file system: always begin, directories, files,
  // end. E800 and E330 speak one dialect, E700 (and S500) another.
  int ETFSBegin();
  int ETFSMakeDirs(const std::vector<std::string>& paths);
  int ETFSSendFiles(const std::vector<std::string>& names,
                    const std::vector<std::string>& contents);
  int ETFSEnd();
  // The NAND itself: format, open for raw reading, read 512-byte sectors.
  int ENANDFormat();
  int ENANDOpen();
  int ENANDRead(uint16_t first, uint16_t count, uint8_t* buffer);

 private:
  int Expect(uint8_t want);
  int Expect(
      const std::string& want,
      const std::string& text);  // both loaders of the family, checked before anything is sent

  Link& link_;
  std::string loader1_;
  std::string loader2_;
  std::string loaderError_;
};

}  // namespace brantle
