#pragma once

// Gives the batch analysis the program's analysis services (pacemaker and ST steps, the library's
// version text), as the analysis command of the open recording has them. Start-up, after the
// application object has read the library's version.
void InstallBatchAnalysis();
