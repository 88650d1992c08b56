#include "views/strip_samples.h"

#include <algorithm>
#include <fstream>
#include <span>
#include <stdexcept>
#include <string>

#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "support/cmp_writer.h"

namespace viewstest {

void ReplaceSamples(CZK470Doc& doc, const std::vector<std::vector<int16_t>>& channels) {
  constexpr int kMinute = testsupport::kSamplesPerMinute;
  size_t longest = 0;
  for (const auto& channel : channels) longest = std::max(longest, channel.size());
  const int minutes = std::max<int>(1, static_cast<int>((longest + kMinute - 1) / kMinute));
  const int count = static_cast<int>(channels.size());

  testsupport::CmpWriter writer(testsupport::CmpFormat::kNew, count);
  std::vector<std::vector<int16_t>> written(count, std::vector<int16_t>(kMinute));
  std::vector<std::vector<int16_t>> decoded(count, std::vector<int16_t>(kMinute));
  // The new format counts a minute as whole once the next one has begun: one more, of zeros.
  for (int minute = 0; minute <= minutes; ++minute) {
    std::vector<std::span<const int16_t>> in;
    std::vector<std::span<int16_t>> out;
    for (int c = 0; c < count; ++c) {
      std::fill(written[c].begin(), written[c].end(), int16_t{0});
      const size_t from = static_cast<size_t>(minute) * kMinute;
      for (size_t i = from; i < std::min(channels[c].size(), from + kMinute); ++i)
        written[c][i - from] = channels[c][i];
      in.emplace_back(written[c]);
      out.emplace_back(decoded[c]);
    }
    writer.AddMinute(in, testsupport::CmpMode::kRawFull, {}, out);
    if (written != decoded) throw std::runtime_error("hand-made samples the format cannot hold");
  }
  TRawECGData& store = *doc.GetRawECGData();
  {
    std::ofstream file(store.GetFileName(), std::ios::binary | std::ios::trunc);
    const std::vector<uint8_t>& bytes = writer.Bytes();
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + store.GetFileName());
  }
  store.Reopen();
  if (store.GetWholeMinutes() != minutes)
    throw std::runtime_error("the store did not take the samples: " +
                             std::to_string(store.GetWholeMinutes()) + " minutes, " + store.GetIndexNote());
}

}  // namespace viewstest
