#include "operations/dump_workflow.h"

#include <algorithm>
#include <cstdio>

#include "dif/DIFFiles.h"
#include "formats/image_file.h"
#include "formats/s3_file.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"
#include "operations/dif_output.h"
#include "operations/dump_resume.h"
#include "operations/operation_record.h"

namespace brantle {
namespace {

constexpr uint32_t kSector = 0x10000;

std::string DumpAborted() {
  return LangGet("ErrC_Dump_Aborted");
}

// Installs the byte-count status and the progress bar for a read of n bytes.
void StartReadPhase(OperationFrame& frame, Link& link, uint64_t n) {
  frame.RouteEngine(link, true);
  frame.StartPhase(static_cast<int64_t>(n));
  frame.EnableCancel(true);
}

// The dump as a DIF of one "NORD" block, and the tab's comment before it.
void BuildDumpDif(TDIFFile& dif, uint32_t start, const std::string& data,
                  const std::string& comment) {
  dif.SetNORData(dif.AddBlock(), start, data);
  if (!CommentBlank(comment)) dif.SetComment(dif.InsertBlock(0), comment);
  dif.PhoneID = kDIFPhoneID;
  dif.CreatorText = kDIFCreatorText;
}

// The bytes a resumed dump read before, put at the start of its buffer; how many.
size_t TakeResumed(const std::string* read, std::string& buffer) {
  if (!read) return 0;
  const size_t n = std::min(read->size(), buffer.size());
  buffer.replace(0, n, *read, 0, n);
  return n;
}

// What the dump has read when it stops: for a side file, should it stop before
// the target is written.
void KeepRead(std::string* read, const std::string& buffer, size_t n) {
  if (read) read->assign(buffer, 0, n);
}

bool WriteDump(OperationFrame& frame, uint32_t start, const std::string& data, DumpFileType type,
               const std::string& target, const UndoParameters& difOptions) {
  if (type == DumpFileType::BinCla) return WriteImageFile(frame, target, data, DumpAborted());
  TDIFFile dif;
  BuildDumpDif(dif, start, data, type == DumpFileType::Dif ? difOptions.Comment : "");
  if (type == DumpFileType::S3) return WriteS3File(frame, dif, target, DumpAborted());
  // Saved as read: a dump is not optimised.
  const int r = dif.SaveToFile(target, difOptions.Compress);
  if (r != kDIFOk) ShowDIFError(frame, DumpAborted(), r, dif);
  return r == kDIFOk;
}

// What an interrupted dump of the same region into the same target read before,
// when it is to be used: the window asks, the command line was told. One that is not
// used stays as it is until this dump completes (kept: its byte count), so that a
// dump that fails again loses nothing; the command line says --resume would use it.
// A side file of another dump is not used, and the person is told so unless they
// said not to resume.
std::string EarlierReads(OperationFrame& frame, const std::string& side, const DumpIdentity& id,
                         DumpResume resume, size_t& kept) {
  kept = 0;
  PartialDump partial;
  const SideFile found = LoadPartialDump(side, id, partial);
  if (found == SideFile::Usable) {
    const uint64_t length = DumpReadLength(frame.Family().Family == "Opti", id.Start, id.End);
    const bool use =
        resume == DumpResume::Yes ||
        (resume == DumpResume::Ask &&
         frame.Message(MessageKind::Question, ResumeQuestion(partial.Bytes.size(), length),
                       Buttons::YesNo) == Answer::Yes);
    if (use) return std::move(partial.Bytes);
    kept = partial.Bytes.size();
    if (resume == DumpResume::No)
      frame.Message(MessageKind::Information,
                    FillText(LangGet("Msg_Resume_Possible"),
                             {{"done", std::to_string(kept)}, {"total", std::to_string(length)}}),
                    Buttons::Ok);
    return "";
  }
  if (resume == DumpResume::No) return "";
  if (found == SideFile::OtherDump || found == SideFile::Damaged)
    frame.Message(
        MessageKind::Warning,
        LangGet(found == SideFile::Damaged ? "Msg_Side_File_Damaged" : "Msg_Side_File_Other"),
        Buttons::Ok);
  else if (resume == DumpResume::Yes)
    frame.Message(MessageKind::Information, LangGet("Msg_Nothing_To_Resume"), Buttons::Ok);
  return "";
}

}  // namespace

std::string ResumeQuestion(uint64_t done, uint64_t total) {
  return FillText(LangGet("Msg_Resume_Question"),
                  {{"done", std::to_string(done)}, {"total", std::to_string(total)}});
}

bool ParseRegion(Ui& ui, const std::string& startText, const std::string& endText,
                 const std::string& prefix, NorRegion& region) {
  const int32_t start = FieldHexToInt(startText);
  const int32_t end = FieldHexToInt(endText);
  if (start < 0 || end < 0 || start > end) {
    ui.Error(prefix + " " + LangGet("Msg_Bad_Region"));
    return false;
  }
  region = {static_cast<uint32_t>(start), static_cast<uint32_t>(end)};
  return true;
}

bool WithinENorLimit(Ui& ui, const std::string& prefix, uint32_t end) {
  // The sector index is a byte: a sector past 16 MiB would wrap to sector 0.
  if (end < kENorLimit) return true;
  ui.Error(prefix + " " + LangGet("Msg_Beyond_16MiB"));
  return false;
}

bool DumpRegion(OperationFrame& frame, ConnectDriver& driver, uint32_t start, uint32_t end,
                std::string& data, std::string* read) {
  return driver.IsOpti() ? DumpRegionOpti(frame, driver.Opti(), start, end, data, read)
                         : DumpRegionE(frame, driver.E(), start, end, data, read);
}

bool DumpRegionE(OperationFrame& frame, EEngine& engine, uint32_t start, uint32_t end,
                 std::string& data, std::string* read) {
  data.clear();
  if (start > end) {
    frame.ShowIdleState();
    return true;
  }
  if (!WithinENorLimit(frame, DumpAborted(), end)) {
    frame.ShowIdleState();
    return false;
  }
  const uint32_t first = start / kSector;
  const uint32_t last = end / kSector;
  std::string buffer(size_t{last - first + 1} * kSector, '\0');
  const size_t resumed = TakeResumed(read, buffer);
  // The bar counts the part of the region still to read.
  const uint64_t base = uint64_t{first} * kSector;
  StartReadPhase(
      frame, engine.link(),
      uint64_t{end} + 1 -
          std::max<uint64_t>(start, std::min<uint64_t>(base + resumed, uint64_t{end} + 1)));
  for (uint32_t s = first + static_cast<uint32_t>(resumed / kSector); s <= last; ++s) {
    auto* into = reinterpret_cast<uint8_t*>(&buffer[size_t{s - first} * kSector]);
    const int r = engine.ERead(static_cast<uint8_t>(s), kSector, into);
    if (r == 0) frame.Tally().Read.Add(s * kSector, kSector);
    if (frame.StopAfterBlock(r, DumpAborted() + " ")) {
      KeepRead(read, buffer, size_t{s - first + (r == 0 ? 1 : 0)} * kSector);
      return false;
    }
  }
  KeepRead(read, buffer, buffer.size());
  data = buffer.substr(start % kSector, size_t{end - start} + 1);
  frame.ShowIdleState();
  return true;
}

bool DumpRegionOpti(OperationFrame& frame, OptiEngine& engine, uint32_t start, uint32_t end,
                    std::string& data, std::string* read) {
  data.clear();
  if (start > end) {
    frame.ShowIdleState();
    return true;
  }
  const uint64_t total = uint64_t{end} - start + 1;
  std::string buffer(total, '\0');
  const size_t resumed = TakeResumed(read, buffer);
  StartReadPhase(frame, engine.link(), total - resumed);
  for (uint64_t done = resumed; done < total;) {
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(total - done, kSector));
    auto* into = reinterpret_cast<uint8_t*>(&buffer[done]);
    const int r = engine.ReadNOR(static_cast<uint32_t>(start + done), n, into);
    if (r == 0) frame.Tally().Read.Add(static_cast<uint32_t>(start + done), n);
    if (frame.StopAfterBlock(r, DumpAborted() + " ")) {
      KeepRead(read, buffer, done + (r == 0 ? n : 0));
      return false;
    }
    done += n;
  }
  KeepRead(read, buffer, buffer.size());
  data = std::move(buffer);
  frame.ShowIdleState();
  return true;
}

bool DumpNor(OperationFrame& frame, ConnectDriver& driver, const std::string& startText,
             const std::string& endText, DumpFileType type, const std::string& target,
             const UndoParameters& difOptions, DumpResume resume) {
  static const char* const kTypes[] = {"BIN/CLA", "S3", "DIF"};
  const OperationRecord record(frame, "dump",
                               "NOR " + startText + "-" + endText + " to " + target + " (" +
                                   kTypes[static_cast<int>(type)] + ")");
  frame.BeginOperation();
  NorRegion region;
  std::string data;
  bool written = false;
  if (ParseRegion(frame, startText, endText, DumpAborted(), region)) {
    const std::string side = SideFileName(target);
    PartialDump partial;
    partial.Id = IdentifyDump(frame, driver, region.Start, region.End);
    size_t kept = 0;
    partial.Bytes = EarlierReads(frame, side, partial.Id, resume, kept);
    if (DumpRegion(frame, driver, region.Start, region.End, data, &partial.Bytes)) {
      written = WriteDump(frame, region.Start, data, type, target, difOptions);
      if (written) {
        std::remove(side.c_str());
        frame.Completed("Msg_Dump_Completed");
      }
    }
    if (!written && partial.Bytes.size() > kept && !SavePartialDump(side, partial))
      frame.Message(MessageKind::Warning,
                    FillText(LangGet("Msg_Side_File_Not_Written"), {{"file", side}}), Buttons::Ok);
  }
  frame.ShowIdleState();
  return written;
}

bool DumpS500(OperationFrame& frame, ConnectDriver& driver, const S500Names& targets) {
  const OperationRecord record(frame, "dump 2BIN+2OGM",
                               "to " + targets[kS500Bin1] + ", " + targets[kS500Bin2] + ", " +
                                   targets[kS500Ogm1] + ", " + targets[kS500Ogm2]);
  frame.BeginOperation();
  std::string data;
  bool all = false;
  const uint32_t fw = frame.Areas().FirmwareSize;
  if (fw > 0 && DumpRegion(frame, driver, 0, fw - 1, data)) {
    TDIFFile dif;
    dif.SetNORData(dif.AddBlock(), 0, data);
    data.clear();
    const S500Images images = SplitS500(dif, true);
    all = true;
    // A failed file is reported by the writer; the others are still written.
    for (S500Part part : {kS500Bin1, kS500Bin2, kS500Ogm1, kS500Ogm2})
      all = WriteImageFile(frame, targets[part], images[part], LangGet("ErrC_Operation_Aborted")) &&
            all;
    if (all) frame.Completed("Msg_Dump_Completed");
  }
  frame.ShowIdleState();
  return all;
}

std::string S500DumpTargets::Proposal(S500Part part) const {
  return S500ProposedNames(S500Stem(chosenLast_, names_))[part];
}

bool S500DumpTargets::Choose(OperationFrame& frame, S500Part part) {
  const S500Dialog dialog = S500DialogOf(part, true);
  if (!frame.SelectSaveFile(dialog.Ext, dialog.Filter, dialog.Title, "DumpS500_Tgt", true,
                            Proposal(part)))
    return false;
  names_[part] = frame.FileName();
  chosenLast_ = frame.FileName();
  return true;
}

bool S500DumpTargets::DumpEnabled() const {
  return std::none_of(names_.begin(), names_.end(),
                      [](const std::string& name) { return name.empty(); });
}

}  // namespace brantle
