#include <gtest/gtest.h>

#include <string>

#include "dialogs/busy_dlg.h"
#include "dialogs/date_time_text.h"
#include "dialogs/patient_sheet_flags.h"
#include "dialogs/sound/null_audio_backend.h"
#include "platform/locale.h"
#include "platform/process_context.h"
#include "win/prompt.h"

namespace {

// State that outlives a test unless the one reset of the process puts it back: each piece is
// changed as a test would leave it, and must be as at a fresh start afterwards.
TEST(ProcessState, OneResetReturnsWhatFixturesUsedToForget) {
  platform::FixedLocale locale(platform::FixedLocale::Kind::k12Hour);
  win::ScriptedPrompt prompt;
  auto* const fallback = &win::CurrentPrompt();
  { TBusyDlg busy(2, "Busy with a test"); }
  PatientSheetGlobals().patient_pacemaker = 1;
  PatientSheetGlobals().recorder_accepts_address_block = 1;
  dialogs::SetDialogLocale(&locale);
  win::CurrentPrompt().MessageBox("asked while no prompt was set", "", win::kMbOk);
  win::SetPrompt(&prompt);
  sound::NullAudioBackend backend;
  sound::SetAudioBackend(&backend);

  platform::ResetProcessState();

  EXPECT_EQ(TBusyDlg::CurrentMode(), 0);
  EXPECT_EQ(TBusyDlg::CurrentText(), "");
  EXPECT_EQ(PatientSheetGlobals().patient_pacemaker, 0);
  EXPECT_EQ(PatientSheetGlobals().recorder_accepts_address_block, 0);
  EXPECT_NE(&dialogs::DialogLocale(), &locale);
  EXPECT_EQ(&win::CurrentPrompt(), fallback);
  const auto* scripted = dynamic_cast<const win::ScriptedPrompt*>(&win::CurrentPrompt());
  ASSERT_NE(scripted, nullptr);
  EXPECT_TRUE(scripted->Log().empty()) << "the fallback prompt forgets what it was asked";
  EXPECT_NE(&sound::CurrentAudioBackend(), &backend);
}

}  // namespace
