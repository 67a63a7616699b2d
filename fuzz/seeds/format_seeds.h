#pragma once
// Seeds of the fuzz targets of the file readers, made by our own writers: DIF
// containers (plain and zlib, every block kind), S3 text, a CFG, a settings file and a
// language file, RTF comments and the loader information blocks of the virtual
// OptiFlash phone. Each input is framed as its target reads it.

#include <string>
#include <vector>

namespace brantle::fuzz {

struct Seed {
  std::string Name;
  std::string Input;
};

std::vector<Seed> DifSeeds();
// The first byte picks the piece size the reader is fed in; the S3 text follows.
std::vector<Seed> S3Seeds();
std::vector<Seed> CfgSeeds();
std::vector<Seed> IniSeeds();
// The first byte says where the text is split into two comments; the RTF follows.
std::vector<Seed> RtfSeeds();
std::vector<Seed> OptiInfoSeeds();

}  // namespace brantle::fuzz
