#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/dynamic_library.h"

namespace analysis_test {

// The script of the stand-in library, loaded from the same shared object that the driver loads
// (one state for both while this object holds it open).
class FakeVraScript {
 public:
  FakeVraScript() {
    EXPECT_TRUE(library_.Open(FAKE_VRA_PATH)) << library_.Error();
    Reset = library_.Function<void()>("FakeVra_Reset");
    FailCall = library_.Function<void(const char*, int, int)>("FakeVra_FailCall");
    FailSetting = library_.Function<void(int, int)>("FakeVra_FailSetting");
    SetNullHandle = library_.Function<void(int)>("FakeVra_SetNullHandle");
    SetVersion = library_.Function<void(uint32_t)>("FakeVra_SetVersion");
    DeliverWithoutPointer = library_.Function<void(int)>("FakeVra_DeliverWithoutPointer");
    AddBeat = library_.Function<void(int, int32_t, uint16_t, uint16_t)>("FakeVra_AddBeat");
    SetAnalyseHook = library_.Function<void(void (*)(int, void*), void*)>("FakeVra_SetAnalyseHook");
    CallCount = library_.Function<int(const char*)>("FakeVra_CallCount");
    Setting = library_.Function<int(int)>("FakeVra_Setting");
    LeadSum = library_.Function<int64_t(int)>("FakeVra_LeadSum");
    CallOrderInto = library_.Function<void(char*, int)>("FakeVra_CallOrder");
    if (Reset != nullptr) Reset();
  }
  ~FakeVraScript() {
    if (Reset != nullptr) Reset();
  }
  FakeVraScript(const FakeVraScript&) = delete;
  FakeVraScript& operator=(const FakeVraScript&) = delete;

  bool Ready() const {
    return Reset && FailCall && FailSetting && SetNullHandle && SetVersion && DeliverWithoutPointer && AddBeat &&
           SetAnalyseHook && CallCount && Setting && LeadSum && CallOrderInto;
  }
  std::string CallOrder() const {
    std::string buffer(8192, '\0');
    CallOrderInto(buffer.data(), static_cast<int>(buffer.size()));
    return buffer.c_str();
  }

  void (*Reset)() = nullptr;
  void (*FailCall)(const char*, int, int) = nullptr;
  void (*FailSetting)(int, int) = nullptr;
  void (*SetNullHandle)(int) = nullptr;
  void (*SetVersion)(uint32_t) = nullptr;
  void (*DeliverWithoutPointer)(int) = nullptr;
  void (*AddBeat)(int, int32_t, uint16_t, uint16_t) = nullptr;
  void (*SetAnalyseHook)(void (*)(int, void*), void*) = nullptr;
  int (*CallCount)(const char*) = nullptr;
  int (*Setting)(int) = nullptr;
  int64_t (*LeadSum)(int) = nullptr;
  void (*CallOrderInto)(char*, int) = nullptr;

 private:
  platform::DynamicLibrary library_;
};

}  // namespace analysis_test
