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
    {strings::kSaveChangesQuestion, "Save changes to %s?"},
    {61443, "Untitled"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {4100, "Schrittmacher"},
    {4101, "Normal"},
    {4102, "Atypisch"},
    {4103, "Marker"},
    {4104, "Elektrode ab"},
    {4105, "Artefakt"},
    {4106, "Pause"},
    {4107, "Bradykardie"},
    {4108, "Tachykardie"},
    {4109, "SVES"},
    {4110, "SV-Couplet"},
    {4111, "SV-Triplet"},
    {4112, "SV-Tachykardie"},
    {4113, "SV-Bigeminus"},
    {4114, "SV-Trigeminus"},
    {4115, "VES"},
    {4116, "V-Couplet"},
    {4117, "V-Triplet"},
    {4118, "V-Tachykardie"},
    {4119, "V-Bigeminus"},
    {4120, "V-Trigeminus"},
    {4121, "Benutzerereignis"},
    {4122, "Undefiniert"},
    {4123, "R auf T"},
    {4124, "Absolute Arrhythmie"},
    {4125, "ST-Episode Kanal 1"},
    {4126, "ST-Episode Kanal 2"},
    {4127, "ST-Episode Kanal 3"},
    {4128, "Nulllinie"},
    {4129, "Schrittmacherschlag"},
    {4130, "Vorhofflimmern"},
    {4131, "Vorhofflattern"},
    {4132, "Rekorderabschnitt"},
    {4134, "Batterie aus"},
    {4135, "Externer Schlagtyp 5"},
    {4138, "Debug S"},
    {10001,
     "Die Patientendaten dieser Aufzeichnung liegen in einem Format vor, das dieses Programm nicht "
     "kennt. Sie werden nicht gelesen; die Aufzeichnung wird ohne sie geöffnet."},
    {14381, "Es wurde kein weiteres Ereignis der gewählten Arten gefunden."},
    {14383, "cm"},
    {14384, "kg"},
    {14385, "in"},
    {14387, "lb"},
    {15204,
     "Möchten Sie die Aufzeichnung %s abschließen?\n"
     "Ihre Dateien werden dann umbenannt: die Aufzeichnungsnummer beginnt mit V."},
    {30004, " Tag "},
    {32263,
     "Die Datei %s kann nicht geöffnet werden.\n"
     "Sie wird möglicherweise von einem anderen Programm oder Arbeitsplatz benutzt."},
    {32265, "Die Aufzeichnungsdatei war leer. Sie wurde aus ihrer Sicherungskopie wiederhergestellt."},
    {32898, "Nur Aufzeichnungen (*.QRS), Austauschdateien (*.KZT) und PDF-Dokumente können geöffnet werden."},
    {33217, "Kanal "},
    {33222, "Dateien, die nicht gelöscht werden konnten"},
    {33230,
     "Die EKG-Datei enthält keine vollständige Minute Signal. Die Aufzeichnung kann nicht angezeigt "
     "werden."},
    {strings::kSaveChangesQuestion, "Änderungen an %s speichern?"},
    {61443, "Unbenannt"},
};

}  // namespace

std::span<const platform::StringEntry> DocumentStrings(bool german) {
  if (german) return kGermanStrings;
  return kStrings;
}

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
