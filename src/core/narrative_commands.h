#pragma once

class CZK470App;

// Shows the narrative test set in the test-data dialog (template 314 of the program's own
// resources, the language library current again afterwards). 1 when the user chose "Generate
// Narrative" and the edited values are stored in the set, 2 when cancelled (the set unchanged).
// User-interface thread only.
int EditNarrativeTestData(CZK470App* app);
int EditNarrativeTestData();
