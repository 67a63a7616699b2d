#pragma once
// The OptiFlash models: which loader each one runs and the configuration words the
// loader gets with its information request.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ktze_loaders.h"

namespace brantle {

struct OptiModel {
  const char* name;     // "X480"
  const char* langKey;  // "Phone_Opti_X480"
  LoaderFile loader;
  uint32_t word0, word8, word12, word16;  // LoaderParams words at those offsets
};

// The models in OptiType order (0 C200 .. 16 X480).
const std::vector<OptiModel>& OptiModels();
// By OptiType; any other value is the C200 (loader A and its words).
const OptiModel& OptiModelByType(int optiType);
// By name, any case; an unknown name is the C200. Returns the OptiType via type.
const OptiModel& OptiModelByName(const std::string& name, int* type = nullptr);

// The 36 bytes sent with INFO: the model's words, little-endian, the rest zero.
std::string LoaderParams(const OptiModel& model);

// The ten distinct loader files of the OptiFlash models.
const std::vector<LoaderFile>& OptiLoaderFiles();

}  // namespace brantle
