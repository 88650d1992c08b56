#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class CZK470Doc;
namespace win {
class Window;
}

// Importers of recordings that did not come from the system's own recorders: records of the AHA
// reference database and the signal files of the maker's other ECG products ("KEKG" files). Each
// writes a new recording document with empty beat and event lists. User-interface thread.
namespace tools {

// The annotation code of an AHA annotation mnemonic by the published MIT-BIH mnemonics; 0 for a
// character that names none.
int AhaAnnotationCode(uint8_t mnemonic);

// The annotations of an AHA annotation file, in file order: code, time in milliseconds from the
// record start, auxiliary value.
struct AhaAnnotations {
  std::vector<int32_t> codes;
  std::vector<int32_t> times;
  std::vector<int32_t> aux;
};

// Annotations of an AHA annotation file hold at most this many records (days of beats at any rate).
inline constexpr size_t kMaxAhaAnnotations = size_t{1} << 24;

// Reads 16-byte annotation records from the stream's position until one starts with 0xFF or the
// stream ends (a last record cut short is not taken). Throws platform::FormatError when the file
// holds more than kMaxAhaAnnotations records.
AhaAnnotations ReadAhaAnnotations(std::istream& in);

// What the sample copy of an AHA import shows while it runs.
class AhaCopyProgress {
 public:
  virtual ~AhaCopyProgress() = default;
  // Before the first step; khi_name is the signal file's name without folder.
  virtual void Begin(const std::string& khi_name) = 0;
  // Once per hundredth of the samples, before they are copied; false once the user has cancelled.
  virtual bool Step() = 0;
  // After the last step, after a failure and after a cancel.
  virtual void End() = 0;
};

// Converts one AHA record, named by its identification file "<name>ID.DAT" (the files beside it
// replace the last six characters by "d1.dat", "d2.dat" and "an.dat", found ignoring case), into
// the recording "<name> <start date> <start time> -----.QRS" of the data directory with its KHI
// signal file and KHA annotation file. The start is the identification file's modification time.
// Every input is checked before anything is written; the three files are written beside their
// targets and put in place only when all are complete, the ".QRS" last. A failed or cancelled
// import leaves none of its files behind and never removes a file that was there before. An existing
// recording is replaced without asking only when overwrite_all is set. record_name receives the document's
// file name (the identification file's name when the record could not be named). 1 on success; 0 with the
// error text set otherwise. The copy shows the progress window over frame (Esc and Cancel stop it).
int ImportAhaRecord(CZK470Doc& doc, const std::string& id_path, bool overwrite_all, std::string& record_name,
                    int rate_hz, double lsb_uv, std::string& error, win::Window* frame);
// The same with the progress given.
int ImportAhaRecord(CZK470Doc& doc, const std::string& id_path, bool overwrite_all, std::string& record_name,
                    int rate_hz, double lsb_uv, std::string& error, AhaCopyProgress& progress);

// Writes the recording document of a KEKG signal file beside it (the path with "QRS" for its last
// three characters); the signal file is left as it is. The surname is the first 20 characters of
// the file's name without extension. An existing document is replaced without asking only when
// overwrite_all is set. False with the error text set when the user declined or nothing could be
// written.
bool ImportKEKGFile(CZK470Doc& doc, const std::string& path, bool overwrite_all, std::string& error);

}  // namespace tools
