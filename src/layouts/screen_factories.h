#pragma once

// Registers the node factories of every area and window class that the program has, so that the
// built-in screens show them instead of named placeholders. Called once at start-up, before the
// layouts are built; calling it again changes nothing.
void RegisterScreenFactories();
