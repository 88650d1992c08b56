#pragma once

namespace platform {
class ResourcePack;
}

// Registers the node classes of the heart-rate trend group and the hourly bar graphs with the
// layout builder. Called once at start-up, before the layout list is built.
void RegisterTrendFactories();

// The texts of the trend group (the legend's names) and of the bar-graph toolbar's
// commands: German to the German pack, English to every other one.
void AddTrendResources(platform::ResourcePack& pack);
