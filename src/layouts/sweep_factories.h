#pragma once

// Registers the node class of the online sweep (the row's argument is the recorder channel).
// Called once at start-up, before the layouts are built.
void RegisterSweepFactories();
