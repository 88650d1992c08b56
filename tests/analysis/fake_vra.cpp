// A stand-in for the external analysis library: it answers the ten entry points from a script
// that the tests set through the FakeVra_ functions (loaded into the test from the same shared
// object, so both see one state). It finds no beats itself; it delivers the scripted ones after
// the minute they belong to. Built without ResetAnalyse when FAKE_VRA_WITHOUT_RESET_ANALYSE is
// defined, to stand for a library that lacks an entry point.

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/vra_api.h"

namespace {

struct Beat {
  int32_t time_ms;
  uint16_t type;
  uint16_t template_number;
};

struct State {
  std::mutex mutex;
  uint32_t version = 0x1234;
  bool null_handle = false;
  int handle_storage = 0;
  std::map<std::string, int> calls;
  std::map<std::string, std::pair<int, int>> failures;  // function -> (nth call, code)
  std::map<int, int> setting_failures;                 // key -> code
  std::map<int, int> settings;                         // key -> last value
  std::vector<std::pair<int, int>> setting_calls;      // (key, value) in call order
  std::vector<std::string> order;                      // calls in order
  std::map<int, std::vector<Beat>> beats;              // minute -> beats
  int minute = -1;                                     // minute of the last Analyse
  int lead_blocks = 0;
  int64_t lead_sum[3] = {0, 0, 0};
  std::vector<uint8_t> delivered;
  bool deliver_without_pointer = false;
  void (*hook)(int minute, void* context) = nullptr;
  void* hook_context = nullptr;
};

State& S() {
  static State state;
  return state;
}

// Counts the call and returns its scripted result.
int Called(const char* function) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  const int n = ++s.calls[function];
  s.order.push_back(function);
  const auto it = s.failures.find(function);
  return it != s.failures.end() && it->second.first == n ? it->second.second : VRA_OK;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

extern "C" {

// --- The library's entry points ---

int OpenInterface(VraHandle* handle, int sample_rate, int block_ms) noexcept {
  const int result = Called("OpenInterface");
  if (handle == nullptr) return VRA_ERR_NULL_POINTER;
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.settings[-1] = sample_rate;
  s.settings[-2] = block_ms;
  *handle = s.null_handle ? nullptr : &s.handle_storage;
  return result;
}

int CloseInterface(VraHandle* handle) noexcept {
  Called("CloseInterface");
  if (handle != nullptr) *handle = nullptr;
  return VRA_OK;
}

int SetAnaData(VraHandle handle, int value, int key) noexcept {
  const int result = Called("SetAnaData");
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.settings[key] = value;
  s.setting_calls.emplace_back(key, value);
  const auto it = s.setting_failures.find(key);
  if (it != s.setting_failures.end()) return it->second;
  return handle == nullptr ? VRA_ERR_NULL_POINTER : result;
}

int InitInterface(VraHandle handle) noexcept { return Called("InitInterface"); }

int Analyse(VraHandle handle, int mode) noexcept {
  const int result = Called("Analyse");
  State& s = S();
  void (*hook)(int, void*) = nullptr;
  void* context = nullptr;
  int minute = 0;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    minute = ++s.minute;
    s.settings[-3] = mode;
    hook = s.hook;
    context = s.hook_context;
  }
  if (hook != nullptr) hook(minute, context);
  return mode == VRA_ANASET_CONTI_ANA ? result : VRA_ERR_TYPE_UNDEFINED;
}

#ifndef FAKE_VRA_WITHOUT_RESET_ANALYSE
int ResetAnalyse(VraHandle handle) noexcept { return Called("ResetAnalyse"); }
#endif

int SetLeadData(VraHandle handle, const int16_t* samples, int lead) noexcept {
  const int result = Called("SetLeadData");
  if (samples == nullptr || lead < 1 || lead > 2) return VRA_ERR_WRONG_DATA;
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (int i = 0; i < 7500; ++i) s.lead_sum[lead] += samples[i];
  ++s.lead_blocks;
  return result;
}

int GetAnaDataBeatP(VraHandle handle, const uint8_t** records, uint16_t* count) noexcept {
  const int result = Called("GetAnaDataBeatP");
  if (records == nullptr || count == nullptr) return VRA_ERR_NULL_POINTER;
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.delivered.clear();
  const std::vector<Beat>& beats = s.beats[s.minute];
  for (const Beat& b : beats) {
    Put32(s.delivered, static_cast<uint32_t>(b.time_ms));
    Put16(s.delivered, b.type);
    Put16(s.delivered, b.template_number);
    Put16(s.delivered, 0xFFFF);  // the two bytes nobody reads
  }
  *records = s.deliver_without_pointer ? nullptr : s.delivered.data();
  *count = static_cast<uint16_t>(beats.size());
  return result;
}

int GetTemplatesP(VraHandle handle, const void** templates, int* count) noexcept { return Called("GetTemplatesP"); }

int GetVRAVersion(int reserved, uint32_t* version) noexcept {
  const int result = Called("GetVRAVersion");
  if (version == nullptr) return VRA_ERR_NULL_POINTER;
  *version = S().version;
  return result;
}

// --- The script ---

void FakeVra_Reset() noexcept {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.version = 0x1234;
  s.null_handle = false;
  s.calls.clear();
  s.failures.clear();
  s.setting_failures.clear();
  s.settings.clear();
  s.setting_calls.clear();
  s.order.clear();
  s.beats.clear();
  s.minute = -1;
  s.lead_blocks = 0;
  s.lead_sum[0] = s.lead_sum[1] = s.lead_sum[2] = 0;
  s.delivered.clear();
  s.deliver_without_pointer = false;
  s.hook = nullptr;
  s.hook_context = nullptr;
}

// The nth call (from 1) of the function returns code.
void FakeVra_FailCall(const char* function, int nth, int code) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  S().failures[function] = {nth, code};
}
void FakeVra_FailSetting(int key, int code) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  S().setting_failures[key] = code;
}
void FakeVra_SetNullHandle(int on) noexcept { S().null_handle = on != 0; }
void FakeVra_SetVersion(uint32_t version) noexcept { S().version = version; }
void FakeVra_DeliverWithoutPointer(int on) noexcept { S().deliver_without_pointer = on != 0; }
// A beat delivered after the given minute was analysed.
void FakeVra_AddBeat(int minute, int32_t time_ms, uint16_t type, uint16_t template_number) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  S().beats[minute].push_back({time_ms, type, template_number});
}
// Called at the start of every Analyse with the minute (from 0), on the caller's thread.
void FakeVra_SetAnalyseHook(void (*hook)(int minute, void* context), void* context) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  S().hook = hook;
  S().hook_context = context;
}
int FakeVra_CallCount(const char* function) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  const auto it = S().calls.find(function);
  return it == S().calls.end() ? 0 : it->second;
}
// The value last set for a key (OpenInterface's rate and block length under -1 and -2, the last
// Analyse mode under -3); -999 none.
int FakeVra_Setting(int key) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  const auto it = S().settings.find(key);
  return it == S().settings.end() ? -999 : it->second;
}
// The key of the index-th SetAnaData call (from 0) with its value; -999 when there was none.
int FakeVra_SettingCall(int index, int* value) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  if (index < 0 || static_cast<size_t>(index) >= S().setting_calls.size()) return -999;
  if (value != nullptr) *value = S().setting_calls[static_cast<size_t>(index)].second;
  return S().setting_calls[static_cast<size_t>(index)].first;
}
int64_t FakeVra_LeadSum(int lead) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  return lead >= 1 && lead <= 2 ? S().lead_sum[lead] : 0;
}
// The calls in order, joined by spaces, into the caller's buffer.
void FakeVra_CallOrder(char* buffer, int size) noexcept {
  std::lock_guard<std::mutex> lock(S().mutex);
  std::string text;
  for (const std::string& call : S().order) text += (text.empty() ? "" : " ") + call;
  if (size <= 0) return;
  std::strncpy(buffer, text.c_str(), static_cast<size_t>(size) - 1);
  buffer[size - 1] = '\0';
}

}  // extern "C"
