#pragma once

// Registers the node classes of the ECG sample windows and of the beat-annotation, beat-label and
// event label rows with the layout builder. Called once at start-up, before the layout list is
// built.
void RegisterSampleWindowFactories();
