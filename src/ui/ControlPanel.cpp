// The control panel along the bottom of the main window, below the 3-D view, drawn with
// Dear ImGui: its controls, creation and drawing. Its input arrives through PanelInput.cpp;
// a value typed into a spinner waits in SpinnerTyping until the typing ends.
//
// Index
//   1. Controls                   framed groups, spinners, groups that wrap into rows
//   2. Measure                    contours, scale bar, north arrow, the profile's plot
//   3. Creation and drawing
#include "ControlPanel.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Brackenholmer.h"
#include "CurrentColourRamp.h"
#include "LookGlobals.h"
#include "MeasureGlobals.h"
#include "PanelControlPlaces.h"
#include "ProfilePath.h"
#include "ProfilePlot.h"
#include "SpinnerTyping.h"
#include "backends/imgui_impl_glut.h"
#include "backends/imgui_impl_opengl2.h"
#include "imgui.h"
#include "imgui_internal.h"

namespace {


bool HavePanel() { return ImGui::GetCurrentContext() != nullptr; }

// ---------------------------------------------------------------------------------------
// 1. Controls

// Limits read from the grid when the panel is created.
float air_speed_max = 0;
int border_x_max = 0;
int border_z_max = 0;

void NoteLastItem(const char* label) {
  const ImVec2 a = ImGui::GetItemRectMin();
  const ImVec2 b = ImGui::GetItemRectMax();
  NotePanelControlPlace(label, {a.x, a.y, b.x, b.y});
}

// A changed value shows in the next frame's view.
void Changed(int id) {
  panel_control_callback(id);
  RequestRedraw();
}

// A framed box with its title on the top edge, holding the controls drawn between
// BeginFrame and EndFrame.
void BeginFrame(const char* title, float indent = 0) {
  ImGui::BeginGroup();
  ImGui::TextUnformatted(title);
  ImGui::Indent(indent);
}

void EndFrame(float indent = 0) {
  ImGui::Unindent(indent);
  ImGui::EndGroup();
  const ImGuiStyle& style = ImGui::GetStyle();
  const float half_line = ImGui::GetTextLineHeight() * 0.5f;
  ImVec2 a = ImGui::GetItemRectMin();
  ImVec2 b = ImGui::GetItemRectMax();
  a.x -= style.ItemSpacing.x * 0.5f;
  a.y += half_line;
  b.x += style.ItemSpacing.x * 0.5f;
  b.y += style.ItemSpacing.y * 0.5f;
  ImGui::GetWindowDrawList()->AddRect(a, b, ImGui::GetColorU32(ImGuiCol_Border));
  ImGui::Dummy(ImVec2(0, style.ItemSpacing.y));
}

void Checkbox(const char* label, int* value, int id) {
  bool on = *value != 0;
  if (ImGui::Checkbox(label, &on)) {
    *value = on ? 1 : 0;
    Changed(id);
  }
  NoteLastItem(label);
}

// The entry typed into a spinner, held back from its variable until the typing ends.
SpinnerTyping typing(Changed);

// The label stands left of the field; `label_width` lines the fields of one group up
// (0: right after the label).
void Spinner(const char* label, int id, ImGuiDataType type, void* value, float speed,
             const void* low, const void* high, const char* format, float label_width,
             ImGuiSliderFlags flags = 0, float field_ems = 6) {
  const float x = ImGui::GetCursorPosX();
  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(label);
  ImGui::SameLine();
  if (label_width > 0) {
    ImGui::SetCursorPosX(x + label_width + ImGui::GetStyle().ItemSpacing.x);
  }
  ImGui::SetNextItemWidth(ImGui::GetFontSize() * field_ems);
  ImGui::PushID(id);
  const size_t size = type == ImGuiDataType_Float ? sizeof(float) : sizeof(int);
  unsigned char before[sizeof(double)];
  std::memcpy(before, value, size);
  const bool changed = ImGui::DragScalar("##value", type, typing.Shown(id, value), speed, low, high,
                                         format, ImGuiSliderFlags_AlwaysClamp | flags);
  const bool typed_into = ImGui::TempInputIsActive(ImGui::GetItemID());
  if (typing.Drawn(id, value, size, before, typed_into, changed)) Changed(id);
  ImGui::PopID();
  NoteLastItem(label);
}

void IntSpinner(const char* label, int id, int* value, float speed, int low, int high,
                float label_width) {
  Spinner(label, id, ImGuiDataType_S32, value, speed, &low, &high, "%d", label_width);
}

// A count over decades: a drag moves by a share of the range's logarithm, so 100 pixels
// span a factor of ten between 1000 and 10^8.
void CountSpinner(const char* label, int id, int* value, int low, int high, float label_width) {
  const float speed = static_cast<float>(high - low) / 500;  // a log drag divides by the range
  Spinner(label, id, ImGuiDataType_S32, value, speed, &low, &high, "%d", label_width,
          ImGuiSliderFlags_Logarithmic);
}

void FloatSpinner(const char* label, int id, float* value, float speed, float low,
                  float high, float label_width) {
  Spinner(label, id, ImGuiDataType_Float, value, speed, &low, &high, "%.2f", label_width);
}

// Whole degrees, in a narrow field.
void AngleSpinner(const char* label, int id, float* value, float speed, float low, float high, float label_width) {
  Spinner(label, id, ImGuiDataType_Float, value, speed, &low, &high, "%.0f", label_width, 0, 3);
}

// Radio buttons of one group share the variable; the group reports a change once.
void RadioGroup(int id, int* value, const char* const* labels, int count) {
  const int before = *value;
  for (int i = 0; i < count; ++i) {
    ImGui::RadioButton(labels[i], value, i);
    NoteLastItem(labels[i]);
  }
  if (*value != before) Changed(id);
}

// The width of a group's longest label, where its fields start.
float LabelWidth(const char* const* labels, int count) {
  float widest = 0;
  for (int i = 0; i < count; ++i) {
    widest = std::max(widest, ImGui::CalcTextSize(labels[i]).x);
  }
  return widest;
}

const char* const kRenderingModes[] = {"Color                    ", "Texture                  ",
                                       "Simple                   "};
const char* const kMeshModes[] = {"Quad Subdivision", "Triangle Subdivision"};
const char* const kModifierLabels[] = {"             Precision:", "         Y-Multiplier:",
                                       "     X-Z-Multiplier:", "Max. Approx. Error:",
                                       "Max. Screen Error (px):", "Max. Triangles:"};
const char* const kBorderLabels[] = {"X1:", "Z1:", "X2:", "Z2:"};

// The four groups of the open panel, left to right.
void GeneralGroup() {
  Checkbox("Wireframe", &wireframe, kWireframeId);
  Checkbox("Light", &light, kLightId);
  Checkbox("Show NODATA", &show_nodata, kShowNoDataId);
  Checkbox("Mesh Simplification", &mesh_simplification, kMeshSimplificationId);
  Checkbox("Strict Error", &strict_error, kStrictErrorId);
  Checkbox("Animation", &animation, kAnimationId);
  FloatSpinner("Air-Speed:", kAirSpeedId, &Viewer.air_speed, 0.5f, 0.0f, air_speed_max, 0);
}

void ModesGroup() {
  BeginFrame("Rendering Mode");
  RadioGroup(kRenderingModeId, &rendering_mode, kRenderingModes, 3);
  EndFrame();
  BeginFrame("Mesh Mode");
  RadioGroup(kMeshModeId, &mesh_mode, kMeshModes, 2);
  EndFrame();
}

void ModifiersGroup() {
  BeginFrame("Terrain Modifiers:");
  const float x = LabelWidth(kModifierLabels, 6);
  IntSpinner(kModifierLabels[0], kPrecisionId, &max_precision, 0.2f, kMinPrecision,
             kMaxPrecision, x);
  FloatSpinner(kModifierLabels[1], kYMultiplierId, &y_multiplier, 0.1f, -20.0f, 20.0f, x);
  FloatSpinner(kModifierLabels[2], kXZMultiplierId, &xz_multiplier, 0.1f, 0.0f, 20.0f, x);
  IntSpinner(kModifierLabels[3], kMaxApproxErrorId, &max_approx_error, 0.2f, 1, 100, x);
  // Only a grid in degrees draws its columns closer than its rows.
  ImGui::BeginDisabled(GridColumnRatio() == 1.0);
  Checkbox("Square Cells", &square_cells, kSquareCellsId);
  ImGui::EndDisabled();
  // Screen Error shares the row; its bound and cap show below while it is on, so that with
  // it off the panel keeps within three quarters of a 640 x 480 window.
  ImGui::SameLine();
  Checkbox("Screen Error", &screen_error, kScreenErrorId);
  if (screen_error != 0) {
    FloatSpinner(kModifierLabels[4], kMaxScreenErrorId, &max_screen_error, 0.05f,
                 static_cast<float>(mesh::kMinScreenError), static_cast<float>(mesh::kMaxScreenError), x);
    CountSpinner(kModifierLabels[5], kScreenTriangleCapId, &screen_triangle_cap, mesh::kMinScreenTriangleCap,
                 mesh::kMaxScreenTriangleCap, x);
  }
  EndFrame();
}

void BordersGroup() {
  BeginFrame("Terrain Borders");
  const float x = LabelWidth(kBorderLabels, 4);
  IntSpinner(kBorderLabels[0], kBorderX1Id, &terrain_border_1.x, 2.0f, 0, border_x_max, x);
  IntSpinner(kBorderLabels[1], kBorderZ1Id, &terrain_border_1.z, 2.0f, 0, border_z_max, x);
  IntSpinner(kBorderLabels[2], kBorderX2Id, &terrain_border_2.x, 2.0f, 0, border_x_max, x);
  IntSpinner(kBorderLabels[3], kBorderZ2Id, &terrain_border_2.z, 2.0f, 0, border_z_max, x);
  EndFrame();
}

const char* const kSunLabels[] = {"Sun Azimuth:", "Sun Altitude:"};
const char* const kRampNames[] = {"Default", "Hypsometric", "Grey", "File"};

// Light and colour: the sun's controls show only while Relief Shading is on, so that with
// it off the group stays as short as the others.
void LookGroup() {
  // A narrow indent, for the same reason as below.
  const float indent = ImGui::GetStyle().ItemSpacing.x;
  BeginFrame("Relief", indent);
  Checkbox("Relief Shading", &relief_shading, kReliefShadingId);
  if (relief_shading != 0) {
    const float x = LabelWidth(kSunLabels, 2);
    AngleSpinner(kSunLabels[0], kSunAzimuthId, &sun_azimuth, 1.0f, 0.0f, 360.0f, x);
    AngleSpinner(kSunLabels[1], kSunAltitudeId, &sun_altitude, 0.5f, 0.0f, 90.0f, x);
    Checkbox("Multidirectional", &multidirectional, kMultidirectionalId);
    Checkbox("Shadows", &cast_shadows, kShadowsId);
    Checkbox("Ambient Occlusion", &ambient_occlusion, kAmbientOcclusionId);
  }
  // The file's ramp is offered once --colors has read one. The combo shows its choice
  // without a label beside it, and the toggles stand one a row, so that the group fits
  // beside the others in a window 1024 pixels wide.
  const int ramps = ColourRampFileLoaded() ? 4 : 3;
  const ImGuiStyle& style = ImGui::GetStyle();
  ImGui::SetNextItemWidth(ImGui::CalcTextSize("Hypsometric").x + ImGui::GetFrameHeight() + style.FramePadding.x);
  const int before = colour_ramp;
  if (ImGui::BeginCombo("Colors", kRampNames[colour_ramp % 4])) {
    for (int i = 0; i < ramps; ++i)
      if (ImGui::Selectable(kRampNames[i], colour_ramp == i)) colour_ramp = i;
    ImGui::EndCombo();
  }
  NoteLastItem("Colors");
  if (colour_ramp != before) Changed(kColourRampId);
  Checkbox("Legend", &show_legend, kLegendId);
  Checkbox("Sky", &sky, kSkyId);
  Checkbox("Haze", &haze, kHazeId);
  EndFrame(indent);
}

void (*const kGroups[])() = {GeneralGroup, ModesGroup, ModifiersGroup, BordersGroup, LookGroup};
constexpr int kGroupCount = 5;
// Each group's width when it was last drawn: 0 until then.
float group_width[kGroupCount] = {};

// The most table columns whose widest groups fit side by side in `available` pixels; the
// groups then wrap into rows, in order. Four until the groups have been measured.
int ColumnsThatFit(float available) {
  // What a column adds to its content: cell padding on both sides and the border.
  const float extra = 2 * ImGui::GetStyle().CellPadding.x + ImGui::GetStyle().ItemSpacing.x;
  for (int columns = kGroupCount; columns > 1; --columns) {
    float total = 0;
    for (int c = 0; c < columns; ++c) {
      float widest = 0;
      for (int g = c; g < kGroupCount; g += columns) widest = std::max(widest, group_width[g]);
      total += widest + extra;
    }
    if (total <= available) return columns;
  }
  return 1;
}

void PropertiesColumns() {
  const int columns = ColumnsThatFit(ImGui::GetContentRegionAvail().x);
  ImGui::PushID(columns);  // a table of another column count is another table
  if (ImGui::BeginTable("##properties", columns,
                        ImGuiTableFlags_BordersInnerV | ImGuiTableFlags_SizingFixedFit)) {
    for (int g = 0; g < kGroupCount; ++g) {
      ImGui::TableNextColumn();
      ImGui::BeginGroup();
      kGroups[g]();
      ImGui::EndGroup();
      group_width[g] = ImGui::GetItemRectSize().x;
    }
    ImGui::EndTable();
  }
  ImGui::PopID();
}

// ---------------------------------------------------------------------------------------
// 2. Measure

void MapGroup() {
  BeginFrame("Map");
  Checkbox("Contours", &show_contours, kContoursId);
  // Logarithmic: a drag spans centimetres to kilometres.
  Spinner("Interval (m):", kContourIntervalId, ImGuiDataType_Float, &contour_interval, 20.0f, &kMinContourInterval,
          &kMaxContourInterval, "%g", 0, ImGuiSliderFlags_Logarithmic);
  Checkbox("Scale Bar", &show_scale_bar, kScaleBarId);
  Checkbox("North Arrow", &show_north_arrow, kNorthArrowId);
  EndFrame();
}

constexpr int kPlotPoints = 256;

void ProfileGroup() {
  BeginFrame("Profile");
  const Profile& profile = CurrentProfile();
  if (ProfilePath().size() < 2) {
    ImGui::TextUnformatted(ProfilePath().empty() ? "Ctrl+click on the terrain to start a path."
                                                 : "Ctrl+click a second point.");
  } else {
    const std::vector<float> heights = EvenlySpacedHeights(profile, kPlotPoints);
    const float low = profile.lowest >= 0 ? static_cast<float>(profile.samples[profile.lowest].height) : 0;
    const float high = profile.highest >= 0 ? static_cast<float>(profile.samples[profile.highest].height) : 1;
    char overlay[64];
    std::snprintf(overlay, sizeof overlay, "%.0f to %.0f m", low, high);
    const float plot_width = std::max(200.0f, ImGui::GetFontSize() * 28);
    ImGui::PlotLines("##profile", heights.data(), static_cast<int>(heights.size()), 0, overlay, low,
                     high > low ? high : low + 1, ImVec2(plot_width, ImGui::GetFontSize() * 5));
    NoteLastItem("Profile Plot");
    for (const std::string& line : ProfileFigures(profile)) ImGui::TextUnformatted(line.c_str());
  }
  ImGui::AlignTextToFramePadding();
  ImGui::Text("%zu points", ProfilePath().size());
  ImGui::SameLine();
  ImGui::BeginDisabled(ProfilePath().empty());
  if (ImGui::Button("Remove Last")) {
    RemoveLastProfilePoint();
    RequestRedraw();
  }
  NoteLastItem("Remove Last");
  ImGui::SameLine();
  if (ImGui::Button("Clear Path")) {
    ClearProfilePath();
    RequestRedraw();
  }
  NoteLastItem("Clear Path");
  ImGui::EndDisabled();
  EndFrame();
}

void MeasureSection() {
  if (ImGui::BeginTable("##measure", 2, ImGuiTableFlags_BordersInnerV | ImGuiTableFlags_SizingFixedFit)) {
    ImGui::TableNextColumn();
    MapGroup();
    ImGui::TableNextColumn();
    ProfileGroup();
    ImGui::EndTable();
  }
}

// The Measure section opens by itself when a path first gets its second point.
bool MeasureToOpen() {
  static size_t points_before = 0;
  const size_t points = ProfilePath().size();
  const bool open = points >= 2 && points_before < 2;
  points_before = points;
  return open;
}

constexpr float kMaxShare = 0.75f;  // of the window's height, at most, for the panel

// The Measure header's width, in font sizes: narrow, so that Properties keeps most of the row.
constexpr float kMeasureHeaderEms = 7;

void BuildPanel() {
  const ImGuiIO& io = ImGui::GetIO();
  // Pinned to the bottom edge at full width; the height follows the content.
  ImGui::SetNextWindowPos(ImVec2(0, io.DisplaySize.y), ImGuiCond_Always, ImVec2(0, 1));
  ImGui::SetNextWindowSize(ImVec2(io.DisplaySize.x, 0), ImGuiCond_Always);
  // A quarter of the window stays the view's; a panel taller than the rest scrolls.
  ImGui::SetNextWindowSizeConstraints(ImVec2(0, 0),
                                      ImVec2(io.DisplaySize.x, io.DisplaySize.y * kMaxShare));
  ImGui::SetNextWindowBgAlpha(1.0f);
  const ImGuiWindowFlags flags =
      ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
      ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse;
  typing.FrameStarted();
  ImGui::Begin("##control panel", nullptr, flags);
  // The 3-D view ends at the panel's top edge: when that moves, the view follows in
  // another frame.
  const float top = ImGui::GetWindowPos().y;
  if (top != panel_top) glutPostRedisplay();
  panel_top = top;

  bool open = false, measure_open = false;
  if (ImGui::BeginTable("##panel", 3)) {
    ImGui::TableSetupColumn("##rollout", ImGuiTableColumnFlags_WidthStretch);
    ImGui::TableSetupColumn("##measure", ImGuiTableColumnFlags_WidthFixed, ImGui::GetFontSize() * kMeasureHeaderEms);
    ImGui::TableSetupColumn("##quit", ImGuiTableColumnFlags_WidthFixed);
    ImGui::TableNextColumn();
    open = ImGui::CollapsingHeader("Properties");
    NoteLastItem("Properties");
    ImGui::TableNextColumn();
    if (MeasureToOpen()) ImGui::SetNextItemOpen(true);
    measure_open = ImGui::CollapsingHeader("Measure");
    NoteLastItem("Measure");
    ImGui::TableNextColumn();
    // The buttons have no control ids: they do not go through GluiControl.
    if (ImGui::Button("Save Image")) RequestSnapshot();
    NoteLastItem("Save Image");
    ImGui::SameLine();
    if (ImGui::Button("Save Flight")) SaveRecordedFlight();
    NoteLastItem("Save Flight");
    ImGui::SameLine();
    if (ImGui::Button("Export Mesh")) ExportDrawnMesh();
    NoteLastItem("Export Mesh");
    ImGui::SameLine();
    // The export's format, shown without a label.
    static const char* const kFormats[] = {"OBJ", "STL", "PLY", "glTF"};
    ImGui::SetNextItemWidth(ImGui::CalcTextSize("glTF").x + ImGui::GetFrameHeight() + ImGui::GetStyle().FramePadding.x * 2);
    if (ImGui::BeginCombo("##format", kFormats[std::clamp(export_format, 0, 3)])) {
      for (int i = 0; i < 4; ++i)
        if (ImGui::Selectable(kFormats[i], export_format == i) && export_format != i) {
          export_format = i;
          Changed(kExportFormatId);
        }
      ImGui::EndCombo();
    }
    NoteLastItem("Format");
    ImGui::SameLine();
    // A closed solid for a 3-D printer: walls and a flat bottom, in any format.
    Checkbox("Base", &export_base, kExportBaseId);
    ImGui::SameLine();
    if (ImGui::Button("Quit")) QuitViewer();
    NoteLastItem("Quit");
    ImGui::EndTable();
  }
  // Below the header and the buttons, the groups have the panel's whole width.
  if (open) PropertiesColumns();
  if (measure_open) MeasureSection();
  ImGui::End();
  typing.FrameDone();
}

}  // namespace

// ---------------------------------------------------------------------------------------
// 3. Creation and drawing

void CreateControlPanel() {
  if (HavePanel()) return;
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // nothing is written to disk
  io.LogFilename = nullptr;
  ImGui::StyleColorsDark();
  ImGui_ImplGLUT_Init();
  ImGui_ImplOpenGL2_Init();
  air_speed_max = static_cast<float>(input.grid_space) * 1000.0f;  // no int overflow
  border_x_max = input.cols;
  border_z_max = input.rows;
}

void DestroyControlPanel() {
  if (!HavePanel()) return;
  ImGui_ImplOpenGL2_Shutdown();
  ImGui_ImplGLUT_Shutdown();
  ImGui::DestroyContext();
  ForgetPanelInput();
  panel_top = kNoPanelTop;
  typing.Forget();
  ForgetPanelControlPlaces();
  for (float& w : group_width) w = 0;
}

void RenderControlPanel() {
  if (!HavePanel()) return;
  ImGuiIO& io = ImGui::GetIO();
  // The size GlutReshape last gave the view, so panel and view share one window size.
  io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplGLUT_NewFrame();  // also starts the ImGui frame
  PanelInputFrameStarted();
  ForgetPanelControlPlaces();
  BuildPanel();
  ImGui::Render();
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  PanelInputFrameDone();
}

float ControlPanelTop() { return panel_top; }
