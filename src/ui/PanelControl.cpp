// The panel's callback: a control that shapes the mesh asks for a rebuild on the next
// frame; every other setting is read afresh by the drawing code each frame.
#include "Brackenholmer.h"
#include "ControlPanel.h"

void GluiControl(int control) {
  switch (control) {
    case kMeshModeId:
    case kMeshSimplificationId:
    case kStrictErrorId:
    case kPrecisionId:
    case kMaxApproxErrorId:
    case kBorderX1Id:
    case kBorderZ1Id:
    case kBorderX2Id:
    case kBorderZ2Id:
    case kScreenErrorId:
    case kMaxScreenErrorId:
    case kScreenTriangleCapId:
    case kShowNoDataId:  // the holes are left out of the mesh
      refresh_mesh = true;
      break;
    default:
      break;
  }
}

void (*panel_control_callback)(int) = GluiControl;
