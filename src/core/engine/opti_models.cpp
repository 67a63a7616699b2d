#include "engine/opti_models.h"

#include <cctype>

namespace brantle {
namespace {

const LoaderFile kLoaderA{"opti_a.bin", 18836};
const LoaderFile kLoaderB{"opti_b.bin", 17528};
const LoaderFile kX480{"opti_x480.bin", 19036};
const LoaderFile kX40x{"opti_x40x.bin", 17420};
const LoaderFile kS10x{"opti_s10x.bin", 17420};
const LoaderFile kE105{"opti_e105.bin", 18912};
const LoaderFile kX105{"opti_x105.bin", 19052};
const LoaderFile kS108{"opti_s108.bin", 18916};
const LoaderFile kV2E5{"opti_v2e5.bin", 28836};
const LoaderFile kV208{"opti_v208.bin", 19024};

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void PutLE32(std::string& s, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[offset + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

const std::vector<OptiModel>& OptiModels() {
  static const std::vector<OptiModel> models = {
      {"C200", "Phone_Opti_C200", kLoaderA, 2, 0x80000, 0x800000, 0x80002},
      {"X120", "Phone_Opti_X120", kLoaderA, 2, 0x100000, 0x1000000, 0x100002},
      {"S20x", "Phone_Opti_S20x", kLoaderB, 0, 0, 0, 0},
      {"P500", "Phone_Opti_P500", kLoaderA, 0, 0, 0, 0},
      {"P400", "Phone_Opti_P400", kLoaderA, 2, 0x80000, 0x800000, 0x80005},
      {"S208", "Phone_Opti_S208", kLoaderA, 2, 0x80000, 0x800000, 0x80003},
      {"E105", "Phone_Opti_E105", kE105, 0, 0, 0, 0},
      {"X105", "Phone_Opti_X105", kX105, 0, 0, 0, 0},
      {"S108", "Phone_Opti_S108", kS108, 0, 0, 0, 0},
      {"V2E5", "Phone_Opti_V2E5", kV2E5, 0, 0, 0, 0},
      {"V208", "Phone_Opti_V208", kV208, 0, 0, 0, 0},
      {"E308", "Phone_Opti_E308", kLoaderA, 2, 0x100000, 0x1000000, 0x100005},
      {"E608", "Phone_Opti_E608", kLoaderA, 2, 0x100000, 0x1000000, 0x100004},
      {"X40x", "Phone_Opti_X40x", kX40x, 0, 0, 0, 0},
      {"S10x", "Phone_Opti_S10x", kS10x, 0, 0, 0, 0},
      {"S30x", "Phone_Opti_S30x", kLoaderB, 2, 0x80000, 0x800000, 0x80003},
      {"X480", "Phone_Opti_X480", kX480, 2, 0x100000, 0x1000000, 0x100002},
  };
  return models;
}

const OptiModel& OptiModelByType(int optiType) {
  const auto& models = OptiModels();
  return optiType >= 0 && optiType < static_cast<int>(models.size()) ? models[optiType] : models[0];
}

const OptiModel& OptiModelByName(const std::string& name, int* type) {
  const auto& models = OptiModels();
  for (size_t i = 0; i < models.size(); ++i) {
    if (Upper(models[i].name) == Upper(name)) {
      if (type) *type = static_cast<int>(i);
      return models[i];
    }
  }
  if (type) *type = 0;
  return models[0];
}

std::string LoaderParams(const OptiModel& model) {
  std::string params(36, '\0');
  PutLE32(params, 0, model.word0);
  PutLE32(params, 8, model.word8);
  PutLE32(params, 12, model.word12);
  PutLE32(params, 16, model.word16);
  return params;
}

const std::vector<LoaderFile>& OptiLoaderFiles() {
  static const std::vector<LoaderFile> files = {kLoaderA, kLoaderB, kX480, kX40x, kS10x,
                                                kE105,    kX105,    kS108, kV2E5, kV208};
  return files;
}

}  // namespace brantle
