#pragma once

// Registers the node classes of the ECG strips (the main strip and the example strips) with the
// layout builder. Called once at start-up, before the layout list is built.
void RegisterStripAreaFactories();
