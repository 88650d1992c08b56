#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/document_host.h"
#include "document/qrs_complex.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/cmp_writer.h"
#include "support/test_files.h"
#include "tools/run_family.h"
#include "win/win_fixture.h"

namespace toolstest {

struct Names {
  std::string first;
  std::string last;
};

struct Beat {
  int32_t position;
  uint8_t beat_class;
};

// A headless program around one document without user interface: its data directory in a temp
// folder, a main window for the progress windows, and the tool services the commands use, with
// the picker answering what the test sets and the result list kept for a look.
class ToolDocTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    temp_ = std::make_unique<testsupport::TempFolder>("export_tools");
    data_ = temp_->Path() / "data";
    std::filesystem::create_directories(data_);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    doc_ = MakeDoc();
    tools::ToolServices services;
    services.pick_files = [this](win::Window*, const std::string& title, const std::string& folder,
                                 int kind) {
      picker_title_ = title;
      picker_folder_ = folder;
      picker_kind_ = kind;
      return pick_;
    };
    services.show_results = [this](win::Window*, const std::string& caption,
                                   const std::vector<std::string>& lines, bool auto_scroll) {
      result_caption_ = caption;
      result_lines_ = lines;
      result_auto_scroll_ = auto_scroll;
    };
    services.open_document = [this](const std::string& path) -> CZK470Doc* {
      opened_.push_back(path);
      if (on_open_) on_open_(path);
      return doc_->OnOpenDocument(path) ? doc_.get() : nullptr;
    };
    services_ = std::make_unique<tools::ScopedToolServices>(std::move(services));
  }

  void TearDown() override {
    services_.reset();
    doc_.reset();
    main_.DestroyWindow();
    temp_.reset();
    WinTest::TearDown();
  }

  std::unique_ptr<CZK470Doc> MakeDoc() {
    SettingsDefaults defaults;
    defaults.home = temp_->Path().string();
    auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
    doc->SetDataDirectory(data_.string());
    return doc;
  }

  // Saves base.QRS in the data directory for the sample file already beside it, with these names,
  // start and beats; returns its path.
  std::string WriteQrs(const std::string& base, const Names& names, const platform::LocalDateTime& start,
                       const std::vector<Beat>& beats = {}, bool analysed = false) {
    const std::unique_ptr<CZK470Doc> writer = MakeDoc();
    // An analysed recording has its analysis settings; the first pause limit will do.
    if (analysed) writer->GetRecordingData().pause_threshold = 0;
    writer->GetPatientData().first_name = names.first;
    writer->GetPatientData().surname = names.last;
    writer->GetRecordingData().start_date = document::OleDateOnly(start);
    writer->GetRecordingData().start_time = document::OleTimeOnly(start);
    for (const Beat& beat : beats)
      writer->GetQRSList().Append(TQRSComplex(beat.position, beat.beat_class, '!'));
    const std::string qrs = (data_ / (base + ".QRS")).string();
    EXPECT_TRUE(writer->OnSaveDocument(qrs));
    return qrs;
  }

  // A two-channel recording of that many minutes in a sparse word-pair file (every sample 0), so
  // that a day costs no disk space and no decoding.
  std::string WriteSparseRecording(const std::string& base, int minutes, const Names& names = {},
                                   const platform::LocalDateTime& start = {2004, 5, 3, 9, 15, 0, 0},
                                   bool analysed = false) {
    const std::filesystem::path kzc = data_ / (base + ".KZC");
    { std::ofstream(kzc, std::ios::binary); }
    std::filesystem::resize_file(kzc, static_cast<uintmax_t>(minutes) * 30000);
    return WriteQrs(base, names, start, {}, analysed);
  }

  // A new-format compressed recording with a different signal on each channel.
  std::string WriteCmpRecording(const std::string& base, int minutes, int channels, const Names& names = {},
                                const platform::LocalDateTime& start = {2004, 5, 3, 9, 15, 0, 0}) {
    std::vector<std::vector<int16_t>> signal(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) {
      auto& samples = signal[static_cast<size_t>(c)];
      samples.resize(static_cast<size_t>(minutes) * testsupport::kSamplesPerMinute);
      for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(2 * ((i / (20 + 7 * c)) % 16) + 100 * c);
    }
    testsupport::WriteBytes(data_ / (base + ".CMP"),
                            testsupport::EncodeCmp(testsupport::CmpFormat::kNew, signal));
    return WriteQrs(base, names, start);
  }

  static std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  ContextGuard context_;
  std::unique_ptr<testsupport::TempFolder> temp_;
  std::filesystem::path data_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<tools::ScopedToolServices> services_;

  tools::PickResult pick_;
  std::string picker_title_;
  std::string picker_folder_;
  int picker_kind_ = -1;
  std::string result_caption_;
  std::vector<std::string> result_lines_;
  bool result_auto_scroll_ = false;
  std::vector<std::string> opened_;
  std::function<void(const std::string&)> on_open_;
};

}  // namespace toolstest
