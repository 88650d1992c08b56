#pragma once

// Makes printing available: the main view's print commands then build a TPrintComposer, with its
// findings dialog, for each print job. Called once at start-up; the process reset removes it.
void InstallPrintingEngine();
