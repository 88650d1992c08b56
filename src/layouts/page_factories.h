#pragma once

// Registers the node classes of the ECG page screens (the page window, its row times and the
// full-disclosure page) and of the ST value scale. Called once at start-up, before the layouts are
// built.
void RegisterPageFactories();
