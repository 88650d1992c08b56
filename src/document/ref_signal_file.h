#pragma once

#include <span>
#include <string>

class TECGBlock;

// Raw signal files of the reference ECG databases, stored beside the record's ".QRS" under an
// extension that encodes the rate, the resolution and the channel count: "253" is 250 Hz,
// 5.0 microvolts per unit, 3 channels. The content is headerless frames of little-endian words
// holding 12-bit samples. Plain functions; no state.

// The last three characters, upper-cased: rate one of "125A", resolution one of "125AC",
// channels "2" or "3" (the reader handles only those).
bool IsRefSignalFileName(const std::string& name);
// Hz from the first extension character (125, 250, 500, 1000); 0 for a name of 4 characters or
// fewer, without a point before the extension, or with another character.
int GetRefSampleRate(const std::string& name);
// Microvolts per unit from the second character (1.0, 2.5, 5.0, 10.0, 12.5); 0 as above.
double GetRefLSB(const std::string& name);
// Channel count from the third character ('1'-'9', 'A'-'F' = 10-15); 0 as above.
int GetRefChannelCount(const std::string& name);
// Length in minutes, a partial last minute counted; 0 when the name decodes to no rate or
// channel count, or the file cannot be opened.
int GetRefDurationMinutes(const std::string& name);
// The reference signal file of a document or data file: the name without its last three
// characters followed by a valid extension ending in "2", else one ending in "3"; empty when
// there is none. Matching ignores case; among several candidates the first in name order wins.
std::string FindRefSignalFile(const std::string& name);
// Reads one minute into the first two or three blocks (block 2 zeroed past the data for a
// 2-channel file), scaled to the store's 5-microvolt unit and thinned to 125 Hz by taking every
// (rate / 125)-th frame. Samples past the last complete frame in the file are 0. False, with the
// blocks untouched, when the name is not a readable reference file or the file cannot be opened.
[[nodiscard]] bool ReadRefSignalBlock(const std::string& name, int minute, std::span<TECGBlock> blocks);
