#include "analysis/vra_analysis.h"

#include <array>
#include <exception>

#include "analysis/vra_api.h"
#include "analysis/vra_interface.h"
#include "document/ecg_block.h"
#include "document/profile_keys.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/io_error.h"

namespace analysis {

namespace {

constexpr int kSampleRate = 125;
constexpr int kBlockMs = 60000;

void Fail(VraRunState& state, int32_t number) {
  state.error_number.store(number);
  state.error.store(1);
}

}  // namespace

int VraPauseMs(int pause_index) {
  switch (pause_index) {
    case 0: return 1000;
    case 1: return 1500;
    case 3: return 2500;
    case 4: return 3000;
    case 5: return 3500;
    case 6: return 4000;
    default: return 2000;
  }
}

int VraPercent(int percent_index) {
  switch (percent_index) {
    case 0: return 15;
    case 2: return 25;
    case 3: return 30;
    case 4: return 35;
    case 5: return 40;
    case 6: return 45;
    case 7: return 50;
    default: return 20;
  }
}

int VraDurationSeconds(int duration_index) {
  switch (duration_index) {
    case 0: return 10;
    case 2: return 30;
    case 3: return 60;
    case 4: return 120;
    case 5: return 180;
    case 6: return 300;
    case 7: return 600;
    default: return 20;
  }
}

std::vector<VraSetting> VraSettings(const CZK470Doc& doc) {
  const TRecordingData& record = doc.GetRecordingData();
  // Pause, deviation and prematurity are the indices the recording record keeps from its last
  // analysis (-1 before the first one, which maps to the middle value); only the duration follows
  // the user's current setting.
  const int duration_index = doc.GetSettings().Int(SettingKey::kAnalyzeArrhyDuration);
  return {
      {kSampleRate, VRA_ANASET_SAMPRATE, "_125Hz, _ANASET_SAMPRATE", 14},
      {3, VRA_ANASET_RESOLUTION, "_5UV_LSB, _ANASET_RESOLUTION", 30},
      {kBlockMs, VRA_ANASET_DATA_BLOCK, "_60SEC, _ANASET_DATA_BLOCK", 15},
      {2, VRA_ANASET_NOF_LEADS, "_NUM_LEADS_ANA,_ANASET_NOF_LEADS", 16},
      {12, VRA_ANASET_CORR_VES, "12,_ANASET_CORR_VES", 17},
      {40, VRA_ANASET_TEMP_CORR, "40,_ANASET_TEMP_CORR", 18},
      {VraPauseMs(record.pause_threshold), VRA_ANASET_PAUSE, "VraPause, _ANASET_PAUSE", 19},
      {VraPercent(record.arrhythmia_deviation), VRA_ANASET_ABSARRHYT_DEV,
       "_ABSARRDEV_15,_ANASET_ABSARRHYT_DEV", 20},
      {VraDurationSeconds(duration_index), VRA_ANASET_ABSARRHYT_DUR, "_ABSARRDUR_20,_ANASET_ABSARRHYT_DUR",
       21},
      {VraPercent(record.sves_prematurity), VRA_ANASET_SVES_PREMATURE, "_SPRE_20,_ANASET_SVES_PREMATURE", 22},
      {record.pacemaker_recording != 0 ? 1 : 0, VRA_ANASET_PACE_PATIENT, "_NOPACE,_ANASET_PACE_PATIENT", 23},
      {1, VRA_ANASET_ANALYSE_LEADS, "_L1_2,_ANASET_ANALYSE_LEADS", 24},
  };
}

std::string VraResultText(int code) {
  switch (code) {
    case VRA_ERR_NULL_POINTER: return "ERR Null pointer";
    case VRA_ERR_INIT_PHASE: return "ERR Init Phase";
    case VRA_ERR_TYPE_UNDEFINED: return "ERR Type undefined";
    case VRA_ERR_FAIL: return "ERR Fail";
    case VRA_ERR_WRONG_DATA: return "ERR WrongData";
    case VRA_ERR_NOT_IMPLEMENTED: return "ERR Not Implemented";
    default: return "ERR Unknown";
  }
}

std::string VraResultMessage(std::string_view function, std::string_view parameters, int code) {
  return "Function: " + std::string(function) + " Parms: " + std::string(parameters) + " RetCode : " + VraResultText(code);
}

bool CheckVraResult(VraRunState& state, std::string_view function, std::string_view parameters, int code) {
  if (code == VRA_OK) return true;
  state.messages.push_back(VraResultMessage(function, parameters, code));
  return false;
}

void ImportVraBeats(CZK470Doc& doc, int minute, const uint8_t* records, uint16_t count, VraRunState* state) {
  TQRSList& beats = doc.GetEngineQRSList();
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* record = records + static_cast<size_t>(i) * VRA_BEAT_RECORD_SIZE;
    const auto time_ms = static_cast<int32_t>(platform::LoadLE32(record));
    const uint16_t type = platform::LoadLE16(record + 4);
    const uint16_t template_number = platform::LoadLE16(record + 6);
    uint8_t beat_class = 0;
    int family = -1;
    switch (type) {
      case 0: beat_class = kClassNormal, family = CZK470Doc::kEngineFamilyNormal; break;
      case 2: beat_class = kClassVES, family = CZK470Doc::kEngineFamilyVES; break;
      case 3: beat_class = kClassSVES, family = CZK470Doc::kEngineFamilySVES; break;
      case 4: beat_class = kClassArtefact, family = CZK470Doc::kEngineFamilyArtefact; break;
      case 5: beat_class = kClassExternalType5; break;
      default: continue;
    }
    // Built only for a fault: a 48 h run imports some 200,000 records.
    const auto where = [minute] { return "analysis library, beats of minute " + std::to_string(minute); };
    if (time_ms < 0)
      throw platform::FormatError(where(), "record " + std::to_string(i) + " has the negative time " + std::to_string(time_ms));
    // time x 0.125, truncated: 125 samples per second.
    const int32_t position = static_cast<int32_t>(static_cast<int64_t>(time_ms) * kSampleRate / 1000);
    // The library has been given minutes 0..minute only; a beat beyond them cannot be real.
    if (static_cast<int64_t>(time_ms) >= static_cast<int64_t>(minute + 1) * kBlockMs)
      throw platform::FormatError(where(), "record " + std::to_string(i) + " at " + std::to_string(time_ms) +
                                             " ms lies beyond the minutes analysed");
    if (beats.GetSize() > 0 && position < beats.ElementAt(beats.GetSize() - 1)->GetPosition())
      throw platform::FormatError(where(), "record " + std::to_string(i) + " at " + std::to_string(time_ms) +
                                             " ms precedes the beat before it");
    beats.Append(TQRSComplex(position, beat_class, kPriorNeverEdited));
    // A template number beyond the working lists files the beat in no class (the VES among such
    // beats are collected after the run).
    if (family >= 0 && template_number < CZK470Doc::kEngineClasses)
      doc.GetEngineTemplates(family)[template_number].Append(beats.GetSize() - 1);
    if (state != nullptr) {
      if (beat_class == kClassNormal) state->normal_count.fetch_add(1);
      if (beat_class == kClassVES) state->ventricular_count.fetch_add(1);
    }
  }
}

int32_t VraAnalysisThread(CZK470Doc& doc, CVRAInterface& library, VraRunState& state) {
  VraHandle handle = nullptr;
  bool opened = false;
  bool loaded = false;
  const auto finish = [&](int32_t number) {
    if (opened && library.CloseInterface != nullptr) library.CloseInterface(&handle);
    if (loaded) library.Unload();
    state.running.store(0);
    if (number != kVraNoError) {
      Fail(state, number);
    } else {
      state.error_number.store(kVraNoError);
    }
    return number;
  };

  try {
    if (library.Load() != CVRAInterface::kOk) {
      state.messages.push_back(library.GetLoadError());
      return finish(kVraLibraryMissing);
    }
    loaded = true;
    const int opened_result = library.OpenInterface(&handle, kSampleRate, kBlockMs);
    if (opened_result != VRA_OK) {
      CheckVraResult(state, "OpenInterface", "125, 60000", opened_result);
      return finish(kVraOpenFailed);
    }
    opened = true;
    if (handle == nullptr) {
      state.messages.push_back("Function: OpenInterface Parms: 125, 60000 RetCode : no handle");
      return finish(kVraNoHandle);
    }
    for (const VraSetting& setting : VraSettings(doc)) {
      if (!CheckVraResult(state, "SetAnaData", setting.parameters, library.SetAnaData(handle, setting.value, setting.key)))
        return finish(setting.error);
    }
    if (!CheckVraResult(state, "InitInterface", "-", library.InitInterface(handle))) return finish(kVraInitFailed);

    TRawECGData* samples = doc.GetRawECGData();
    const int minutes = doc.GetRecordingMinutes();
    TECGBlock block;
    for (int m = 0; m < minutes && state.cancel.load() == 0 && state.error.load() == 0; ++m) {
      try {
        samples->GetAnalysisMinute(block, 0, m, true);
      } catch (const platform::IoError& e) {
        state.messages.push_back(e.what());
        return finish(kVraReadFailed);
      }
      if (!CheckVraResult(state, "SetLeadData", "0", library.SetLeadData(handle, block.samples.data(), 1)))
        return finish(kVraLead1Failed);
      try {
        samples->GetAnalysisMinute(block, 1, m, true);
      } catch (const platform::IoError& e) {
        state.messages.push_back(e.what());
        return finish(kVraReadFailed);
      }
      if (!CheckVraResult(state, "SetLeadData", "1", library.SetLeadData(handle, block.samples.data(), 2)))
        return finish(kVraLead2Failed);
      if (!CheckVraResult(state, "Analyse", "_ANASET_CONTI_ANA", library.Analyse(handle, VRA_ANASET_CONTI_ANA)))
        return finish(kVraAnalyseFailed);
      const uint8_t* records = nullptr;
      uint16_t count = 0;
      const int delivered = library.GetAnaDataBeatP(handle, &records, &count);
      // What was delivered is imported even when the call then reports a fault.
      if (records != nullptr) {
        try {
          ImportVraBeats(doc, m, records, count, &state);
        } catch (const platform::FormatError& e) {
          state.messages.push_back(e.what());
          return finish(kVraBeatsFailed);
        }
      } else if (count != 0 && delivered == VRA_OK) {
        state.messages.push_back(VraResultMessage("GetAnaDataBeatP", "", VRA_ERR_NULL_POINTER));
        return finish(kVraBeatsFailed);
      }
      if (!CheckVraResult(state, "GetAnaDataBeatP", "", delivered)) return finish(kVraBeatsFailed);
      state.current_minute.store(m + 1);
    }
    return finish(kVraNoError);
  } catch (const std::exception& e) {
    state.messages.push_back(std::string("The analysis library run failed: ") + e.what());
    return finish(kVraBeatsFailed);
  } catch (...) {
    state.messages.push_back("The analysis library run failed.");
    return finish(kVraBeatsFailed);
  }
}

}  // namespace analysis
