#pragma once

namespace win {

// The answer to a message box of the given style that changes nothing and goes on, for a question
// nobody is there to answer: Cancel, Abort or No where the box offers it, else OK.
int UnattendedAnswer(unsigned style);

}  // namespace win
