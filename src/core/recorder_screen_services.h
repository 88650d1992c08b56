#pragma once

// Gives the online screens the communication-error dialog and the automation's exit code and end.
void InstallRecorderScreenServices();
