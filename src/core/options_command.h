#pragma once

class CZK470View;
class SettingsStore;
class TPrintSetupPage;

// The main view's options command: shows the options sheet and, on OK, stores every page's values,
// saves the settings once, runs the automatic deletion, makes the data directory current and
// refreshes the views (hint 1005) and the status bar (2025). Cancel changes nothing.
void RunOptionsCommand(CZK470View& view);

// The print setup page's part of OK: both margin texts as typed and the print-dialog switch; the
// font size only when the page was shown during this run of the sheet.
void StorePrintSetup(const TPrintSetupPage& page, SettingsStore& settings);

// Whether the print dialog is to be shown before printing: the switch of the print setup page
// ("ShowPrintDlg") of the running program's document; true while there is none.
bool PrintDialogWanted();
