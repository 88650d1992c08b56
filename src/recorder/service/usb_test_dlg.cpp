#include "recorder/service/usb_test_dlg.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "document/ecg_block.h"
#include "document/zk470_doc.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "platform/serial_port.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_search.h"
#include "win/prompt.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMsPerMinute = 60000;

// The first line of a sysfs attribute, at most `limit` bytes; empty when it cannot be read.
std::string ReadAttribute(const fs::path& file, size_t limit) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string text(limit, '\0');
  in.read(text.data(), static_cast<std::streamsize>(limit));
  text.resize(static_cast<size_t>(in.gcount()));
  if (const size_t end = text.find_first_of("\r\n"); end != std::string::npos) text.resize(end);
  return text;
}

std::string DeviceLine(int index, const std::string& text) {
  return "Device " + std::to_string(index) + ": " + text;
}

}  // namespace

TUSBTestDlg::TUSBTestDlg(CZK470Doc& document, recorder::ServiceDialogUi& ui, const platform::Locale& locale,
                         win::Window* parent)
    : TServiceTestDlg(kTemplateId, kLogId, kConfirmId, kClearLogId, document, ui, locale, parent) {
  for (int test = 1; test <= 4; ++test) AddCommand(kTest1Id + test - 1, [this, test] { RunTest(test); });
}

std::vector<TUSBTestDlg::ReadWindow> TUSBTestDlg::ReadTestWindows(int recording_minutes) {
  std::vector<ReadWindow> windows;
  for (int first = 0; first < recording_minutes; first += 2)
    windows.push_back({first, std::min(2, recording_minutes - first)});
  return windows;
}

void TUSBTestDlg::RunTest(int test) {
  if (test < 1 || test > 4) return;
  const std::string name = "Test" + std::to_string(test);
  BeginOperation(kTest1Id + test - 1, name);
  Log().AddLine(name);
  switch (test) {
    case 1:
      EnumerateDevices();
      break;
    case 2:
      ProbeDevices();
      break;
    case 3:
      SearchDevices();
      break;
    default:
      ReadRecording();
      break;
  }
  EndOperation(name);
}

// The USB devices the kernel lists under the sysfs root, as the platform's device list would
// give them: the product name (or, failing that, the vendor and product numbers) and the path.
void TUSBTestDlg::EnumerateDevices() {
  const fs::path root = recorder::Environment().sysfs_root;
  std::error_code error;
  // No device list to ask at all: the test has nothing to say.
  if (!fs::is_directory(root, error)) return;
  CLogEdit& log = Log();
  log.AddLine("EnumExistingDevices");
  std::vector<fs::path> devices;
  fs::directory_iterator it(root / "bus" / "usb" / "devices", error);
  if (error) {
    log.AddLine("1");
    log.AddLine("Error getting HardwareInfo");
    return;
  }
  for (; it != fs::directory_iterator() && !error; it.increment(error)) devices.push_back(it->path());
  std::sort(devices.begin(), devices.end());
  if (devices.size() > static_cast<size_t>(kMaxDevices)) devices.resize(kMaxDevices);
  for (size_t i = 0; i < devices.size(); ++i) {
    const int index = static_cast<int>(i);
    const fs::path path = fs::canonical(devices[i], error);
    if (error) {
      log.AddLine("3");
      log.AddLine(DeviceLine(index, "Error"));
      continue;
    }
    std::string name = ReadAttribute(path / "product", kMaxNameBytes);
    if (name.empty()) {
      const std::string vendor = ReadAttribute(path / "idVendor", 8);
      const std::string product = ReadAttribute(path / "idProduct", 8);
      if (!vendor.empty() && !product.empty()) name = "USB device " + vendor + ":" + product;
    }
    if (name.empty()) {
      log.AddLine("4");
      log.AddLine(DeviceLine(index, "Error"));
      continue;
    }
    log.AddLine(DeviceLine(index, name));
    log.AddLine(DeviceLine(index, path.string()));
  }
}

// The converter's device names: the probe names of the link environment, then the usual serial
// converter nodes up to kMaxDevices.
void TUSBTestDlg::ProbeDevices() {
  const recorder::LinkEnvironment& environment = recorder::Environment();
  for (int n = 0; n < kMaxDevices; ++n) {
    const std::string name = n < static_cast<int>(environment.probe_names.size())
                                 ? environment.probe_names[static_cast<size_t>(n)]
                                 : "/dev/ttyUSB" + std::to_string(n);
    platform::SerialPort port;
    if (!port.Open(name, environment.baud_rate)) continue;
    port.Close();
    Log().AddLine("Device " + std::to_string(n) + " found");
  }
}

void TUSBTestDlg::SearchDevices() {
  platform::Resources().UseLanguageResources();
  recorder::FindRecorders(document_, -1, -1);
  platform::Resources().UseExeResources();
}

void TUSBTestDlg::ReadRecording() {
  minutes_read_ = 0;
  last_minute_read_ = -1;
  if (document_.GetPathName().empty()) {
    win::CurrentPrompt().MessageBox("No data file open!", "ZK-470", win::kMbOk | win::kMbIconExclamation);
    return;
  }
  // Two minutes of one channel.
  std::vector<int16_t> scratch(2 * TECGBlock::kSamples);
  CZK470Doc::MinuteBlockArrays arrays;
  try {
    for (const ReadWindow& window : ReadTestWindows(document_.GetRecordingMinutes())) {
      // Without whole minutes the document loads the minute of the start and one per further
      // minute of the length: exactly the window.
      document_.LoadChannelMinutesSet0(arrays, window.first_minute * kMsPerMinute,
                                       (window.minutes - 1) * kMsPerMinute, false);
      const size_t blocks = std::min(arrays[0].size(), static_cast<size_t>(window.minutes));
      for (size_t b = 0; b < blocks; ++b) {
        std::copy(arrays[0][b]->samples.begin(), arrays[0][b]->samples.end(),
                  scratch.begin() + static_cast<std::ptrdiff_t>(b * TECGBlock::kSamples));
        ++minutes_read_;
        last_minute_read_ = std::max(last_minute_read_, arrays[0][b]->minute);
      }
    }
  } catch (const platform::IoError& error) {
    Log().AddLine(error.what());
  }
  CZK470Doc::FreeChannelMinutesSet0(arrays);
}
