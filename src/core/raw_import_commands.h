#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "recorder/raw/raw_converter.h"

class CZK470Doc;
class CZK470View;

// What the SD-card import commands take from the machine and the user; empty members use the
// program's own (the file system's free space, the open dialog for RAW files, the text view dialog,
// the progress window).
struct RawImportServices {
  std::function<std::optional<uint64_t>(const std::string& folder)> free_space;
  std::function<std::optional<std::vector<std::string>>(const std::string& title, const std::string& folder)>
      choose_files;
  std::function<void(const std::vector<std::string>& lines, const std::string& caption)> show_lines;
  recorder::RawConvertOptions convert;
};

// Converts one RAW image, opens the new recording as the document and, when "DoAskPatData" is on
// outside an automation run, offers the patient data sheet for incomplete patient data. Sets the
// automation exit code. True on success; otherwise result holds the message.
bool ConvertRawFileAndOpen(CZK470View& view, const std::string& raw_path, std::string& result,
                           const RawImportServices& services = {});

// Command 33237 (also the automation word "ReqSDCARDRecording"): the first "*.RAW" of the SD-card
// folder, after a free-space check of the data directory.
void RunImportRawFileCommand(CZK470View& view, const RawImportServices& services = {});
// Command 33238: the RAW files the user marks, one result line each.
void RunImportRawFilesCommand(CZK470View& view, const RawImportServices& services = {});
// Both import commands are offered unless the online monitor is shown.
bool IsRawImportEnabled(const CZK470Doc& doc);

// The main frame's command for the image of the open recording: asks for the RAW file (default
// name "ZK131ECG") and writes it, then shows "Finished" or what failed.
void RunWriteRecordingRawFileCommand(CZK470View& view);
// Offered only for an open recording whose sample file is in the new compressed format.
bool IsRecordingRawFileEnabled(const CZK470Doc& doc);
