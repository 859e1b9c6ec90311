// Placeholder until this concern is built.
#include "Brackenholmer.h"
#include "ControlPanel.h"

void InstallPanelCallbacks() {}
void CreateControlPanel() {}
void RenderControlPanel() {}
void GluiControl(int) {}
