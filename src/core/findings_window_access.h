#pragma once

// Lets the report parts reach the findings dialog's fields through its window.
void InstallFindingsWindowAccess();
