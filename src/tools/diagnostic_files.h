#pragma once

#include <string>

class CZK470Doc;

namespace tools {

// The sample store's diagnostic list: its start and end time, its sample rate as a whole number
// and its whole minutes, each a label followed by the number and a line feed.
std::string SampleStoreListText(const CZK470Doc& doc);

// Command 33037: beside the open recording, its ".QRS" path + ".lst" (empty: the document adds no
// lines) and its sample file's path + ".lst" (SampleStoreListText), then "Finished".
void DumpDocument(CZK470Doc& doc);

// Command 33039: saves a two-channel recording in file-format version 25 and returns to 32, whether
// the save worked or not; "Finished" only after a save that worked.
void SaveOldFormat(CZK470Doc& doc);

}  // namespace tools
