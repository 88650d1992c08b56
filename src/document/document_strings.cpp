#include "document/document_strings.h"

namespace document {
namespace {

constexpr platform::StringEntry kStrings[] = {
    {4100, "Pacemaker"},
    {4101, "Normal"},
    {4102, "Atypical"},
    {4103, "Marker"},
    {4104, "Lead off"},
    {4105, "Artefact"},
    {4106, "Pause"},
    {4107, "Bradycardia"},
    {4108, "Tachycardia"},
    {4109, "SVES"},
    {4110, "SV couplet"},
    {4111, "SV triplet"},
    {4112, "SV tachycardia"},
    {4113, "SV bigeminy"},
    {4114, "SV trigeminy"},
    {4115, "VES"},
    {4116, "V couplet"},
    {4117, "V triplet"},
    {4118, "V tachycardia"},
    {4119, "V bigeminy"},
    {4120, "V trigeminy"},
    {4121, "User event"},
    {4122, "Undefined"},
    {4123, "R on T"},
    {4124, "Absolute arrhythmia"},
    {4125, "ST episode channel 1"},
    {4126, "ST episode channel 2"},
    {4127, "ST episode channel 3"},
    {4128, "Zero line"},
    {4129, "Paced beat"},
    {4130, "Atrial fibrillation"},
    {4131, "Atrial flutter"},
    {4132, "Recorder segment"},
    {4134, "Battery off"},
    {4135, "External beat type 5"},
    {4138, "Debug S"},
    {10001,
     "The patient data of this recording were stored in a format this program does not know. "
     "They are not read; the recording opens without them."},
    {14381, "No further event of the chosen kinds was found."},
    {14383, "cm"},
    {14384, "kg"},
    {14385, "in"},
    {14387, "lb"},
    {15204,
     "Do you want to finalize the recording %s?\n"
     "Its files are then renamed: the recording number starts with V."},
    {30004, " Day "},
    {32263, "The file %s cannot be opened.\nIt may be in use by another program or another workstation."},
    {32265, "The recording file was empty. It has been restored from its backup copy."},
    {32898, "Only recordings (*.QRS), exchange files (*.KZT) and PDF documents can be opened."},
    {33217, "Channel "},
    {33222, "Files that could not be deleted"},
    {33230, "The ECG data file holds no complete minute of signal. The recording cannot be shown."},
    {61443, "Untitled"},
};

}  // namespace

std::span<const platform::StringEntry> DocumentStrings() { return kStrings; }

std::string DocString(int id) {
  std::string text = platform::LoadString(id);
  if (!text.empty()) return text;
  for (const platform::StringEntry& entry : kStrings)
    if (entry.id == id) return entry.text;
  return {};
}

std::string FormatText(std::string_view format, std::string_view argument) {
  std::string text(format);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace document
