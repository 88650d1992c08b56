#include "reports/narrative_test_data.h"

namespace {
NarrativeTestSet g_set;
}  // namespace

NarrativeTestSet& NarrativeTestData() { return g_set; }

void ResetNarrativeTestData() { g_set = NarrativeTestSet{}; }

std::string ExpandLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    out += c;
    if (c == '\r') out += '\n';
  }
  return out;
}

std::string RemoveLineFeeds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\n') out += c;
  }
  return out;
}
