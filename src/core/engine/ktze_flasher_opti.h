#pragma once
// The OptiFlash engine: boot stage, loader upload, speed switch, flash parameters,
// keep-alive and end of connection, and the NOR commands of the loader (read,
// open/close an erase block, program). Every operation returns a result code
// (engine/result_codes.h) and shows nothing.

#include <cstdint>
#include <string>

#include "engine/ktze_flashes_opti.h"
#include "engine/ktze_internals.h"
#include "engine/opti_models.h"

namespace brantle {

class OptiEngine {
 public:
  explicit OptiEngine(Link& link);

  Link& link() { return link_; }

  int OptiType = 0;
  // Chips, erase blocks, bank map, the loader's limits and speeds.
  OptiFlash Flash;
  std::string LoadersFolder;  // DefaultLoadersFolder() to start with
  const OptiModel& Model() const { return *model_; }
  uint32_t LoaderSize() const { return model_->loader.size; }
  // What the upload's progress counts: the loader and, before each of its pieces, the
  // piece's offset and length.
  uint32_t LoaderUploadBytes() const;
  const std::string& LoaderError() const { return loaderError_; }

  // The loader's open erase block.
  bool BlockOpen = false;
  int32_t OpenBlockIndex = -1;
  uint32_t OpenBlockStart = 0;
  uint32_t OpenBlockSize = 0;
  uint8_t OpenMode = 0;

  // Reads the model's loader and checks its size; false (LoaderError() says why)
  // when it is missing. Checked before the phone is booted.
  bool LoaderAvailable();

  // Connect steps, in this order.
  int OptiOpenPort(const std::string& port, int optiType);
  int WaitBootPrompt(uint32_t readTimeoutMs, uint32_t totalTimeMs);
  int QueryBootInfo();
  int UploadLoader();
  int SetLoaderSpeed(uint32_t baud);
  int SetFlashParameters();
  int FinishConnection();
  int SyncLoader();  // also the keep-alive
  // Forgets the chips and closes the port.
  void Close();

  int ReadNOR(uint32_t address, uint32_t length, uint8_t* buffer);
  int WriteNOR(uint32_t address, uint32_t length, const uint8_t* buffer);
  int OpenBlock(uint32_t address, uint32_t length);
  int CloseBlock();

 private:
  Link& link_;
  const OptiModel* model_;
  std::string loaderError_;
};

}  // namespace brantle
