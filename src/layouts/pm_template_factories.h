#pragma once

// Registers the node classes of the pacemaker class page with the layout builder.
void RegisterPMTemplateFactories();
