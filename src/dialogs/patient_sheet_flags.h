#pragma once

// The process-wide values that the patient data sheet's pages share with the sheet's owner: the
// pacemaker checks of the patient page and of the recording page (set by the sheet's constructors
// from the records, read back by the owner after OK), and whether the identified recorder takes an
// address block (firmware 1.2 or later; set by the recorder identification). User-interface
// thread only.
struct PatientSheetFlags {
  int patient_pacemaker = 0;
  int recording_pacemaker = 0;
  int recorder_accepts_address_block = 0;
};

PatientSheetFlags& PatientSheetGlobals();
