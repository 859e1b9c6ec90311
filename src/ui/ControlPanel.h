// The control panel docked along the bottom of the main window (Dear ImGui). The routing
// of GLUT input between the panel and the navigation callbacks is in PanelInput.h.
#pragma once

#include "PanelControlPlaces.h"
#include "PanelInput.h"

// Creates the panel (ImGui context and backends); after the GL context exists.
void CreateControlPanel();

// Removes the panel and forgets held input and press owners (tests start afresh with it).
void DestroyControlPanel();

// Draws the panel over the current frame; called at the end of every frame, before the swap.
// Asks for another frame when the panel's top edge moved.
void RenderControlPanel();

// Control ids, handed to GluiControl when a control changes its value.
constexpr int kQuitId = 0;
constexpr int kWireframeId = 101;
constexpr int kLightId = 102;
constexpr int kRenderingModeId = 103;
constexpr int kMeshModeId = 104;
constexpr int kMeshSimplificationId = 105;
constexpr int kAnimationId = 106;
constexpr int kAirSpeedId = 107;
constexpr int kPrecisionId = 108;
constexpr int kYMultiplierId = 109;
constexpr int kXZMultiplierId = 110;
constexpr int kMaxApproxErrorId = 111;
constexpr int kBorderX1Id = 112;
constexpr int kBorderZ1Id = 113;
constexpr int kBorderX2Id = 114;
constexpr int kBorderZ2Id = 115;
constexpr int kSquareCellsId = 116;
constexpr int kShowNoDataId = 117;
constexpr int kStrictErrorId = 118;
constexpr int kExportBaseId = 119;
constexpr int kScreenErrorId = 120;
constexpr int kMaxScreenErrorId = 121;
constexpr int kScreenTriangleCapId = 122;
constexpr int kReliefShadingId = 123;
constexpr int kSunAzimuthId = 124;
constexpr int kSunAltitudeId = 125;
constexpr int kMultidirectionalId = 126;
constexpr int kShadowsId = 127;
constexpr int kAmbientOcclusionId = 128;
constexpr int kColourRampId = 129;
constexpr int kLegendId = 130;
constexpr int kSkyId = 131;
constexpr int kHazeId = 132;
constexpr int kExportFormatId = 133;
constexpr int kContoursId = 134;
constexpr int kContourIntervalId = 135;
constexpr int kScaleBarId = 136;
constexpr int kNorthArrowId = 137;

// What the panel calls with a control's id; GluiControl unless a test wraps it.
extern void (*panel_control_callback)(int);

// The window y of the panel's top edge in the last drawn frame; presses at or below it
// belong to the panel, and the 3-D view ends there. Larger than any window before the
// first frame.
float ControlPanelTop();
