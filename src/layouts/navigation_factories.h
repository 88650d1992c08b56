#pragma once

// Registers the node classes of the navigation band (navigation window, legends, event ticks, band
// legend and frame box, caption, time axis and beat count) over their placeholders. Start-up,
// before the layouts are built.
void RegisterNavigationFactories();
