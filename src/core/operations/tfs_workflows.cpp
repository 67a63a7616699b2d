#include "operations/tfs_workflows.h"

#include <algorithm>

#include "dif/DIFFiles.h"
#include "files/file_access.h"
#include "formats/image_file.h"
#include "formats/input_file_problem.h"
#include "formats/stde_decoder.h"
#include "formats/tfs_pair.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow.h"
#include "operations/operation_record.h"
#include "operations/phone_sector_source.h"
#include "operations/tfs_selector.h"

namespace brantle {
namespace {

// The developer aids' own texts: their dialogs and messages are not translated.
const char kRawContext[] = "Aborted:";
const char kRawFilter[] = "TFR files (*.tfr)|*.tfr";
const char kRawOpenFilter[] = "TFR files (*.tfr)|*.tfr|All Files (*.*)|*.*";
const char kDeveloperKey[] = "Developer";

uint32_t NandSectors(const OperationFrame& frame) {
  return NandSectorCount(frame.Family().Family);
}

// A file dialog with literal texts under the remembered "Developer" folder.
bool DeveloperDialog(OperationFrame& frame, FileDialog::Mode mode, const std::string& filter,
                     const std::string& title, std::string& name) {
  FileDialog d;
  d.DialogMode = mode;
  d.DefaultExt = "tfr";
  d.Filter = filter;
  d.Title = title;
  d.Folder = frame.settings().Folder(kDeveloperKey);
  d.OverwritePrompt = mode == FileDialog::Mode::Save;
  if (!frame.RunFileDialog(d) || d.Names.empty()) return false;
  name = d.Names.front();
  const size_t slash = name.rfind('/');
  frame.settings().SetFolder(kDeveloperKey,
                             slash == std::string::npos ? "" : name.substr(0, slash + 1));
  return true;
}

// Decodes the volume the source holds and writes it as a pair with its directory
// list, so that empty directories are kept.
bool DecodeToPair(OperationFrame& frame, SectorSource& source, const std::string& tfsName) {
  TDIFFile dif;
  std::vector<std::string> dirs;
  TFSDumpOptions options;
  options.ShowCompletion = !frame.settings().DisableAllStatusMessages();
  options.Cancelled = [&frame] { return frame.Cancel; };
  frame.EnableCancel(true);
  const bool ok =
      DumpTFS(frame, source, dif, dirs, options) && WriteTfsPair(frame, dif, tfsName, &dirs);
  frame.ShowIdleState();
  return ok;
}

// A sector number as typed: decimal digits only.
bool ParseSector(const std::string& text, uint32_t& value) {
  if (text.empty() || text.size() > 9 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  value = static_cast<uint32_t>(std::stoul(text));
  return true;
}

bool OpenRawDump(Ui& ui, FileSectorSource& source, const std::string& tfrName) {
  if (source.Open(tfrName)) return true;
  ui.Error(std::string(kRawContext) + " " + OpenFailure(tfrName));
  return false;
}

}  // namespace

// Both numbers valid, in order, and on the NAND; otherwise an error box.
bool CheckSectorRange(Ui& ui, uint32_t sectorCount, const std::string& firstText,
                      const std::string& lastText, uint32_t& first, uint32_t& last) {
  const std::string prefix = std::string(kRawContext) + " ";
  auto parse = [&](const std::string& text, uint32_t& value) {
    if (ParseSector(text, value)) return true;
    ui.Error(prefix + "'" + text + "' is not a sector number");
    return false;
  };
  if (!parse(firstText, first) || !parse(lastText, last)) return false;
  if (first > last) {
    ui.Error(prefix + "the first sector lies after the last");
    return false;
  }
  if (last >= sectorCount) {
    ui.Error(prefix + "the NAND has sectors 0 to " + std::to_string(sectorCount - 1));
    return false;
  }
  return true;
}

bool SetTfsPair(Ui& ui, const std::string& tfsName, TfsPairChoice& choice) {
  choice = {};
  // A pair whose CFG lists only folders has an empty TFS file.
  if (!AcceptInputFile(ui, tfsName, EmptyInput::Accepted)) return false;
  const std::string cfg = CfgNameFor(tfsName);
  if (!TfsSelector::RegularFileExists(cfg)) {
    ui.Error(LangGet("Err_TFS_No_CFG"));
    return false;
  }
  choice = {tfsName, cfg};
  return true;
}

bool ChooseTfsPair(OperationFrame& frame, TfsPairChoice& choice) {
  if (!frame.SelectOpenFile("tfs", "FF_TFS", "FF_TFSR_Caption", "FlashTFS")) return false;
  return SetTfsPair(frame, frame.FileName(), choice);
}

bool FlashTfsPair(OperationFrame& frame, ConnectDriver& driver, const std::string& tfsName) {
  const OperationRecord record(frame, "flash TFS pair", tfsName + " with " + CfgNameFor(tfsName),
                               PhoneWrites::Yes);
  frame.BeginOperation();
  TDIFFile dif;
  std::vector<std::string> dirs;
  // A rejected pair has been reported; flashing nothing would end as a success.
  const bool ok = ReadTfsPair(frame, dif, tfsName, &dirs) &&
                  FlashImage(frame, driver, dif, "NORD", nullptr, "nOrR", &dirs);
  frame.ShowIdleState();
  return ok;
}

bool FlashTfsFiles(OperationFrame& frame, ConnectDriver& driver,
                   const std::vector<TfsUploadRow>& rows) {
  if (rows.empty()) return false;
  std::string files;
  for (const TfsUploadRow& row : rows)
    files += (files.empty() ? "" : ", ") + row.Source + " as " + row.TfsName;
  const OperationRecord record(frame, "write files into the file system", files, PhoneWrites::Yes);
  frame.BeginOperation();
  TDIFFile dif;
  // Nothing larger than the NAND can go into it.
  const uint64_t limit = uint64_t{NandSectors(frame)} * kNandSectorSize;
  for (const TfsUploadRow& row : rows) {
    std::string bytes;
    if (ReadWholeFile(row.Source, bytes, limit) != FileStatus::Ok) {
      frame.Error(LangGet("ErrC_Read_File") + " " + OpenFailure(row.Source));
      frame.ShowIdleState();
      return false;
    }
    dif.SetTFSFile(dif.AddBlock(), row.TfsName, bytes);
  }
  const bool ok = FlashImage(frame, driver, dif, "NORD", nullptr, "nOrR", nullptr);
  frame.ShowIdleState();
  return ok;
}

bool SelectAndFlashTfsFiles(OperationFrame& frame, ConnectDriver& driver) {
  std::vector<TfsUploadRow> rows;
  if (!frame.SelectTfsFiles(rows)) return false;
  return FlashTfsFiles(frame, driver, rows);
}

bool FormatNand(OperationFrame& frame, ConnectDriver& driver) {
  if (frame.Message(MessageKind::Question, LangGet("Query_Format_NAND"), Buttons::YesNo) !=
      Answer::Yes)
    return false;
  const OperationRecord record(frame, "format NAND", "", PhoneWrites::Yes);
  frame.BeginOperation();
  frame.RouteEngine(driver.link(), false);
  const int r = driver.E().ENANDFormat();
  if (r != 0) {
    ShowEngineError(frame, LangGet("ErrC_Format_NAND") + " ", r);
    frame.ShowIdleState();
    return false;
  }
  frame.Tally().NandFormatted = true;
  driver.Disconnect(false);
  frame.Completed("Msg_Format_NAND_Completed");
  frame.ShowIdleState();
  return true;
}

bool DumpTfs(OperationFrame& frame, ConnectDriver& driver, const std::string& tfsName) {
  const OperationRecord record(frame, "dump file system", "to " + tfsName);
  frame.BeginOperation();
  frame.RouteEngine(driver.link(), false);
  if (const int r = driver.E().ENANDOpen(); r != 0) {
    ShowEngineError(frame, LangGet("ErrC_Operation_Aborted"), r);
    frame.ShowIdleState();
    return false;
  }
  // The decoder only learns of an I/O failure: what the phone answered is told first.
  PhoneSectorSource source(driver.E(), NandSectors(frame), [&frame](int r) {
    ShowEngineError(frame, LangGet("ErrC_Operation_Aborted"), r);
  });
  return DecodeToPair(frame, source, tfsName);
}

bool DumpTfsAsk(OperationFrame& frame, ConnectDriver& driver) {
  if (!frame.SelectSaveFile("tfs", "FF_TFS", "FF_TFSW_Caption", "DumpTFS_TFS", true)) return false;
  return DumpTfs(frame, driver, frame.FileName());
}

bool DumpRawSectors(OperationFrame& frame, ConnectDriver& driver, const std::string& firstText,
                    const std::string& lastText, const std::string& tfrName) {
  uint32_t first = 0;
  uint32_t last = 0;
  if (!CheckSectorRange(frame, NandSectors(frame), firstText, lastText, first, last)) return false;
  const OperationRecord record(
      frame, "read NAND sectors",
      std::to_string(first) + "-" + std::to_string(last) + " to " + tfrName);
  frame.BeginOperation();
  const uint32_t count = last - first + 1;
  frame.RouteEngine(driver.link(), true);
  frame.StartPhase(int64_t{count} * kNandSectorSize);
  frame.EnableCancel(true);
  PhoneSectorSource source(driver.E(), NandSectors(frame));
  std::string buffer(size_t{count} * kNandSectorSize, '\0');
  for (uint32_t done = 0; done < count;) {
    const uint32_t n = std::min(count - done, kNandSectorsPerRequest);
    auto* into = reinterpret_cast<uint8_t*>(&buffer[size_t{done} * kNandSectorSize]);
    // A failed request would leave a hole in the file that looks like NAND data.
    if (source.ReadSectors(first + done, n, into) != kSTDEOk) {
      ShowEngineError(frame, kRawContext, source.LastEngineError());
      frame.ShowIdleState();
      return false;
    }
    if (frame.Cancel) {
      frame.ShowIdleState();
      return false;
    }
    done += n;
  }
  const bool ok = WriteImageFile(frame, tfrName, buffer, kRawContext);
  frame.ShowIdleState();
  return ok;
}

bool DumpRawSectorsAsk(OperationFrame& frame, ConnectDriver& driver) {
  std::string firstText = "0";
  std::string lastText = "32767";
  if (!frame.InputBox("Parameters", "Enter first sector number", firstText) ||
      !frame.InputBox("Parameters", "Enter last sector number", lastText))
    return false;
  uint32_t first = 0;
  uint32_t last = 0;
  std::string tfrName;
  if (!CheckSectorRange(frame, NandSectors(frame), firstText, lastText, first, last) ||
      !DeveloperDialog(frame, FileDialog::Mode::Save, kRawFilter, "File", tfrName))
    return false;
  return DumpRawSectors(frame, driver, firstText, lastText, tfrName);
}

bool DumpTfsFromRaw(OperationFrame& frame, const std::string& tfrName, const std::string& tfsName) {
  const OperationRecord record(frame, "decode NAND image", tfrName + " to " + tfsName);
  frame.BeginOperation();
  FileSectorSource source(NandSectors(frame));
  if (!OpenRawDump(frame, source, tfrName)) {
    frame.ShowIdleState();
    return false;
  }
  return DecodeToPair(frame, source, tfsName);
}

bool DumpTfsFromRawAsk(OperationFrame& frame) {
  std::string tfrName;
  if (!DeveloperDialog(frame, FileDialog::Mode::Open, kRawOpenFilter, "TFS Raw Dump", tfrName))
    return false;
  {
    // Told before the target is asked for, as the file is opened first.
    FileSectorSource probe(NandSectors(frame));
    if (!OpenRawDump(frame, probe, tfrName)) {
      frame.ShowIdleState();
      return false;
    }
  }
  if (!frame.SelectSaveFile("tfs", "FF_TFS", "FF_TFSW_Caption", kDeveloperKey, true)) return false;
  return DumpTfsFromRaw(frame, tfrName, frame.FileName());
}

}  // namespace brantle
