#pragma once

// Process-wide state of the printing side: how many pages are being recorded for a PDF right now
// and whether the printer in use prints in two colours. Reset with the process state.
// The recording counter is raised and lowered by the thread that records (the PDF export's
// worker); any thread may read both values.

// True while a page is being recorded for the PDF export: the print code then writes page markers
// instead of drawing grids, and treats the device as a colour device.
bool IsEmfRecording();
void BeginEmfRecording();
void EndEmfRecording();

// Set by the print composer when the device prints in two colours and no PDF is being written.
bool IsMonochromePrinting();
void SetMonochromePrinting(bool monochrome);
