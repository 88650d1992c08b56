#pragma once

class CZK470View;

// The main view's options command: shows the options sheet and, on OK, stores every page's values,
// saves the settings once, runs the automatic deletion, makes the data directory current and
// refreshes the views (hint 1005) and the status bar (2025). Cancel changes nothing.
void RunOptionsCommand(CZK470View& view);
