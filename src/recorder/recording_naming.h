#pragma once

#include <string>
#include <string_view>

class CZK470Doc;

// The base name every new recording from a recorder or a recorder file gets in the data directory:
// "Brand Lea 08-12-2004 14-30 -----" (last name, first name, each with its blank only when given,
// start date "%d.%m.%Y", start time "%H:%M", and five "-" holding the place of the recording
// number), every "." and ":" made "-". The names come from the recorder: each part is made one
// safe file-name component (separators, wildcards and control characters become "_", the length
// is capped), so the result never leaves the data directory.
std::string NewRecordingBaseName(std::string_view last_name, std::string_view first_name,
                                 std::string_view date_text, std::string_view time_text);

// Gives the document's work files 6 (".qrs"), 7 (samples) and 8 (voice, when there is one) their
// names in the data directory and returns the ".qrs" path to open:
// - a recording of that name with any number whose ".QRS" and ".CMP" both exist is opened instead:
//   its path is returned and work files 6, 7 and 8 are deleted;
// - otherwise the samples and the voice are moved first, the ".qrs" last, none of them over an
//   existing file; the target ".qrs" is returned and the work-file names are forgotten;
// - when a file of that name is there alone, or a move fails, nothing in the data directory is
//   deleted or replaced, the moves made are undone, and the path of work file 6 is returned so
//   that the recording opens from its work files.
// Empty when there is no work file 6. User-interface thread, or the read-out's worker while the
// user-interface thread waits for it.
std::string NameNewRecording(CZK470Doc& doc, std::string_view last_name, std::string_view first_name,
                             std::string_view date_text, std::string_view time_text);
