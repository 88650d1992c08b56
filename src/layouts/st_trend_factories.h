#pragma once

// Registers the node classes of the ST trend group (window, graph, legend) with the layout
// builder. Called once at start-up, before the layout list is built.
void RegisterSTTrendFactories();
