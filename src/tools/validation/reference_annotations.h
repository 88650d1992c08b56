#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TQRSList;

// Beat annotations of a reference-database record in the databases' byte-swapped layout: 8-byte
// records of a big-endian time in milliseconds, the beat's mnemonic, a zero byte and a big-endian
// record number from 1; closed by two records 00 FF FF FF FF 00 FF FF. Plain functions, any thread.
namespace tools {

// The annotation file of a record: its folder and record name with the extension the record's
// prefix gives: the first two characters upper-cased and "N" for the database prefixes "AH", "ES",
// "MI", "CU", "NS", "ST", "VF", "AF", "SV", "CO", "SA"; the two characters as they are for any other
// prefix; "VQN" for a record name shorter than two characters.
std::string GetRefAnnotationFileName(std::string_view record_path);

// Appends one beat per record up to the end marker: position = time x rate / 1000 samples, the
// class by the mnemonic, never edited. false, and the list untouched, when the file cannot be read,
// holds no more than 8 bytes, or a record before the end marker has a negative time, a time that
// goes back, or a position beyond what a beat holds; also for a rate that is not above 0. An
// incomplete last record is ignored.
[[nodiscard]] bool ReadRefAnnotations(const std::string& file_name, TQRSList& beats, double rate);

// Writes one record per beat (time = position x 1000 / rate ms, truncated; the mnemonic by the
// class) and the end marker. The file is replaced as a whole, never left half written. false for
// an empty list, a rate not above 0, a beat whose time does not fit the field, or a failed write.
[[nodiscard]] bool WriteRefAnnotations(const std::string& file_name, const TQRSList& beats, double rate);

// The beat class of a mnemonic when reading, and the mnemonic of a class when writing.
uint8_t RefAnnotationClass(char mnemonic);
char RefAnnotationMnemonic(int beat_class);

}  // namespace tools
