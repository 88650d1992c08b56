#include "tools/validation/library_test_bench.h"

#include <optional>

#include "analysis/vra_interface.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "tools/validation/aha_record_reader.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

constexpr TTestBenchSetting kSettings[] = {
    {125, VRA_ANASET_SAMPRATE, "_125Hz, _ANASET_SAMPRATE"},
    {60000, VRA_ANASET_DATA_BLOCK, "_60SEC, _ANASET_DATA_BLOCK"},
    {2000, VRA_ANASET_PAUSE, "_PAUSE2, _ANASET_PAUSE"},
    {2, VRA_ANASET_NOF_LEADS, "_NUM_LEADS_ANA,_ANASET_NOF_LEADS"},
    {12, VRA_ANASET_CORR_VES, "12,_ANASET_CORR_VES"},
    {40, VRA_ANASET_TEMP_CORR, "40,_ANASET_TEMP_CORR"},
    {20, VRA_ANASET_ABSARRHYT_DUR, "_ABSARRDUR_20,_ANASET_ABSARRHYT_DUR"},
    {15, VRA_ANASET_ABSARRHYT_DEV, "_ABSARRDEV_15,_ANASET_ABSARRHYT_DEV"},
    {20, VRA_ANASET_SVES_PREMATURE, "_SPRE_20,_ANASET_SVES_PREMATURE"},
    {0, VRA_ANASET_PACE_PATIENT, "_NOPACE,_ANASET_PACE_PATIENT"},
    {1, VRA_ANASET_ANALYSE_LEADS, "_L1_2,_ANASET_ANALYSE_LEADS"},
};

constexpr int kSampleRate = 125;
constexpr int kBlockMs = 60000;

const char* ResultText(int code) {
  switch (code) {
    case VRA_ERR_NULL_POINTER:
      return "ERR Null pointer";
    case VRA_ERR_INIT_PHASE:
      return "ERR Init Phase";
    case VRA_ERR_TYPE_UNDEFINED:
      return "ERR Type undefined";
    case VRA_ERR_FAIL:
      return "ERR Fail";
    default:
      return "ERR Unknown";
  }
}

// The two leads of the record's first minute at 125 Hz; none after the reader's message was shown.
struct Leads {
  std::vector<int16_t> first;
  std::vector<int16_t> second;
};

std::optional<Leads> ReadFirstMinute(const std::string& path) {
  try {
    const TAhaRecordReader reader(path);
    // A record under one minute would leave the leads short of the block the library reads.
    if (reader.GetSamplePairCount() < kTestBenchSamplePairs)
      throw platform::FormatError(reader.GetFirstChannelPath(),
                                  "the record holds " + std::to_string(reader.GetSamplePairCount()) +
                                      " sample pairs; one minute needs " +
                                      std::to_string(kTestBenchSamplePairs));
    std::vector<int16_t> first;
    std::vector<int16_t> second;
    reader.ReadSamplePairs(0, kTestBenchSamplePairs, first, second);
    Leads leads;
    leads.first.reserve(kTestBenchLeadSamples);
    leads.second.reserve(kTestBenchLeadSamples);
    for (size_t i = 0; i < first.size(); i += 2) {
      leads.first.push_back(first[i]);
      leads.second.push_back(second[i]);
    }
    return leads;
  } catch (const platform::IoError& e) {
    (void)win::CurrentPrompt().MessageBox(e.what(), win::Windows().AppTitle(),
                                          win::kMbOk | win::kMbIconExclamation);
    return std::nullopt;
  }
}

}  // namespace

std::span<const TTestBenchSetting> TestBenchSettings() { return kSettings; }

std::string LibraryErrorText(std::string_view function, std::string_view parameters, int code) {
  return "Function: " + std::string(function) + " Parms: " + std::string(parameters) +
         " RetCode : " + ResultText(code);
}

void ReportLibraryError(std::string_view function, std::string_view parameters, int code) {
  if (code == VRA_OK) return;
  (void)win::CurrentPrompt().MessageBox(LibraryErrorText(function, parameters, code),
                                        win::Windows().AppTitle(), win::kMbOk);
}

int RunLibraryOnAhaRecord(CVRAInterface& library, TTestBenchRun* run) {
  win::FileDialogRequest request;
  request.open = true;
  request.filter = kTestBenchFilter;
  const std::optional<std::string> chosen = win::CurrentPrompt().ChooseFile(request);
  if (!chosen || chosen->empty()) return kTestBenchNoFileChosen;

  const std::optional<Leads> leads = ReadFirstMinute(*chosen);
  if (!leads) return kTestBenchNoRecord;

  if (library.Load() != CVRAInterface::kOk) return kTestBenchNoLibrary;
  VraHandle handle = nullptr;
  if (library.OpenInterface(&handle, kSampleRate, kBlockMs) != VRA_OK) {
    library.Unload();
    return kTestBenchOpenFailed;
  }
  if (handle == nullptr) {
    library.CloseInterface(&handle);
    library.Unload();
    return kTestBenchNoHandle;
  }
  // Every refused value is shown, not only the last one's.
  for (const TTestBenchSetting& setting : kSettings)
    ReportLibraryError("SetAnaData", setting.trace, library.SetAnaData(handle, setting.value, setting.key));
  ReportLibraryError("InitInterface", "", library.InitInterface(handle));

  library.SetLeadData(handle, leads->first.data(), 1);
  library.SetLeadData(handle, leads->second.data(), 2);
  library.Analyse(handle, kTestBenchAnalyseMode);
  const uint8_t* records = nullptr;
  uint16_t count = 0;
  if (library.GetAnaDataBeatP(handle, &records, &count) == VRA_OK && records != nullptr && run != nullptr) {
    run->beat_times_ms.clear();
    for (uint16_t i = 0; i < count; ++i)
      run->beat_times_ms.push_back(
          static_cast<int32_t>(platform::LoadLE32(records + static_cast<size_t>(i) * VRA_BEAT_RECORD_SIZE)));
  }
  library.CloseInterface(&handle);
  library.Unload();
  return kTestBenchOk;
}

}  // namespace tools
