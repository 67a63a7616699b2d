#include "fuzz/seeds/format_seeds.h"

#include "dif/DIFFiles.h"
#include "files/ini_document.h"
#include "formats/rtf_writer.h"
#include "formats/s3_file.h"
#include "formats/tfs_pair.h"
#include "lang/languages.h"
#include "sim/virtual_opti_phone.h"

namespace brantle::fuzz {
namespace {

std::string Bytes(size_t n, uint32_t seed) {
  std::string out(n, '\0');
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(i * 37 + seed);
  return out;
}

RtfDocument StyledComment() {
  RtfStyle bold;
  bold.bold = true;
  bold.pointSize = 14;
  RtfStyle coloured;
  coloured.italic = true;
  coloured.underline = true;
  coloured.color = RtfColor{200, 30, 60};
  RtfDocument document;
  document.paragraphs.push_back({{{"Firmware ", {}}, {"XXJ4", bold}, {"\tcheck first", coloured}}});
  document.paragraphs.push_back({});
  // Cyrillic, the euro sign (code page 1252 has it), a character beyond U+FFFF and a
  // line break inside the paragraph.
  document.paragraphs.push_back(
      {{{"\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x82\xAC 5 \xF0\x9F\x93\xB1", {}},
        {std::string(kRtfLineBreak) + "{braces} and \\", bold}}});
  return document;
}

TDIFFile NewDif() {
  TDIFFile dif;
  dif.PhoneID = kDIFPhoneID;
  dif.CreatorText = kDIFCreatorText;
  return dif;
}

// NOR data that overlaps, touches and lies apart, with reversal data and a comment.
TDIFFile NorDif() {
  TDIFFile dif = NewDif();
  dif.SetComment(dif.AddBlock(), WriteRtf(StyledComment()));
  dif.SetNORData(dif.AddBlock(), 0x1000, Bytes(64, 1));
  dif.SetNORData(dif.AddBlock(), 0x1020, Bytes(64, 2));
  dif.SetNORData(dif.AddBlock(), 0x1060, Bytes(16, 3));
  dif.SetNORData(dif.AddBlock(), 0xFFFFFFF0, Bytes(16, 4));
  dif.SetReverseData(dif.AddBlock(), 0x1000, Bytes(32, 5));
  return dif;
}

TDIFFile TfsDif() {
  TDIFFile dif = NewDif();
  dif.SetTFSFile(dif.AddBlock(), "/user/sounds/ring tone.mid", Bytes(300, 6));
  dif.SetTFSFile(dif.AddBlock(), "/user/empty.txt", "");
  dif.SetTFSFile(dif.AddBlock(), "/boot.cfg", "x=1\n");
  dif.SetComment(dif.AddBlock(), WriteRtf(StyledComment()));
  return dif;
}

Seed Framed(const std::string& name, uint8_t first, const std::string& text) {
  return {name, std::string(1, static_cast<char>(first)) + text};
}

}  // namespace

std::vector<Seed> DifSeeds() {
  TDIFFile mixed = NorDif();
  for (const TDIFBlock& block : TfsDif().Blocks) mixed.Blocks.push_back(block);
  return {{"nor_plain", SerializeDIF(NorDif(), 0)},
          {"tfs_zlib", SerializeDIF(TfsDif(), 1)},
          {"mixed_zlib", SerializeDIF(mixed, 1)},
          {"mixed_plain", SerializeDIF(mixed, 0)}};
}

std::vector<Seed> S3Seeds() {
  TDIFFile dif;
  dif.SetNORData(dif.AddBlock(), 0, Bytes(40, 7));
  dif.SetNORData(dif.AddBlock(), 0x1008, Bytes(100, 8));
  dif.SetNORData(dif.AddBlock(), 0xFFFFFFF0, Bytes(16, 9));
  const std::string text = S3Text(dif);
  return {Framed("three_runs", 6, text), Framed("three_runs_bytewise", 0, text)};
}

std::vector<Seed> CfgSeeds() {
  const std::vector<std::string> directories = {"/user/nothing/", "/user/"};
  return {{"pair", CfgText(TfsDif(), &directories)}};
}

std::vector<Seed> IniSeeds() {
  // A settings file as a person may have edited it: a comment, a blank line, CR LF.
  IniDocument settings;
  settings.Parse("; brntl.ini\r\n\r\n[Settings]\r\nComPort = /dev/ttyUSB0\r\n");
  settings.WriteString("Settings", "ComSpeed", "460800");
  settings.WriteString("Settings", "PhoneType", "4");
  settings.WriteString("Settings", "Locale", "EN");
  settings.WriteString("Paths", "DumpFolder", "/home/tech/dumps");

  // The head of the English language file, as the program writes it for translators.
  const LanguageRecord english = Languages().Record(0);
  IniDocument language;
  for (size_t i = 0; i < english.Keys.size() && i < 12; ++i)
    language.WriteString(english.Code, english.Keys[i], english.Values[i]);
  return {{"settings", settings.Serialize()}, {"language", language.Serialize()}};
}

std::vector<Seed> RtfSeeds() {
  const std::string styled = WriteRtf(StyledComment());
  const std::string plain = WriteRtf(PlainTextDocument("First line\nSecond line\n"));
  return {Framed("styled", 128, styled), Framed("plain", 40, plain),
          Framed("joined", 128, plain + styled)};
}

std::vector<Seed> OptiInfoSeeds() {
  sim::OptiPhoneConfig one;
  sim::OptiPhoneConfig four;
  // Chips of both command sets, the third known only by its second ID pair.
  four.chips = {sim::OptiChipConfig{0x01, 0x22490000, 0, 0, 0},
                sim::OptiChipConfig{0x20, 0x005B0000, 0x00400000, 0, 0},
                sim::OptiChipConfig{0x99, 0x12345678, 0x00800000, 0x04, 0x22560000},
                sim::OptiChipConfig{0x1C, 0x002B0000, 0x01000000, 0, 0}};
  four.baudList = {115200, 921600};
  four.maxWriteChunk = 0x10000;
  return {{"one_chip", sim::VirtualOptiPhone(one).InfoBlock()},
          {"four_chips", sim::VirtualOptiPhone(four).InfoBlock()}};
}

}  // namespace brantle::fuzz
