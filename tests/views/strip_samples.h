#pragma once

#include <cstdint>
#include <vector>

class CZK470Doc;

namespace viewstest {

// Replaces the samples of the document's open recording with hand-made ones, one vector per
// channel (store units, 5 microvolts), padded with zeros to whole minutes, and indexes the store
// again. The compressed format keeps only even values; anything it would change throws, so a
// test never measures a signal other than the one it wrote.
void ReplaceSamples(CZK470Doc& doc, const std::vector<std::vector<int16_t>>& channels);

}  // namespace viewstest
