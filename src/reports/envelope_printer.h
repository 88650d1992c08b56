#pragma once

#include <array>
#include <string>

namespace win {
class Window;
}

// One addressee of the letters: printed on an envelope when its flag is set.
struct EnvelopeAddressee {
  bool print = false;
  std::string address;
};

// What the envelope run needs from the document and the program.
struct EnvelopeRequest {
  // 0 and 1: 229 x 162 mm; 2: 279 x 215 mm. Any other value prints as 0.
  int format = 0;
  // In the order offered: the insurance, the patient, the referring physician, the physician
  // referred by. The patient's envelope puts the names above the address.
  std::array<EnvelopeAddressee, 4> addressees;
  std::string patient_first_name;
  std::string patient_last_name;
  // The sender, on every envelope.
  std::string practice_address;
  // The name of each print document.
  std::string application_title;
};

// Offers each addressee whose flag is set in the envelope dialog and prints the envelopes the user
// confirms on the default printer, one print document each; Skip goes on with the next one,
// Cancel ends the run. Without a default printer the user is told so and nothing prints.
// User-interface thread only.
void PrintEnvelopes(const EnvelopeRequest& request, win::Window* parent);
