// The viewer class, its single instance `Viewer`, the viewer-state globals and the
// GLUT callbacks. Definitions are spread over one source file per concern.
#pragma once

#include <string>
#include <vector>

#include "CameraPlace.h"
#include "GLScalars.h"
#include "IndexedMesh.h"
#include "Mesh.h"
#include "MeshGlobals.h"
#include "TerrainLoader.h"

struct TriangleList;

class Brackenholmer {
 public:
  // Sampling
  Vertex CreateVertex(float x, float z);
  // Quad subdivision; the list meshers' definitions live with the tests and benchmarks,
  // which alone use the triangles as a list.
  void CreateQSDTriangles();
  bool ApproxError(Quad q);
  // Triangle subdivision
  void CreateTSDTriangles();
  bool ApproxError(Triangle t);
  // Normals
  // The table for the current show_nodata: while NODATA cells are holes, the normals
  // beside them are formed from the neighbours that hold heights.
  void CalcNormales();
  Normal CreateNormal(int x0, int z0, int x1, int z1, int x2, int z2);
  // Refills, in place, the normals that see a NODATA cell when the table was made for the
  // other choice than `shown`: the drawing keeps them in step with the mesh on screen.
  void MatchNormalsToNoData(bool shown);
  // The mesh on screen: starts a build when one was asked for (refresh_mesh) and adopts a
  // finished one; true when the mesh on screen changed.
  bool UpdateMesh();
  // Waits for a build in progress and adopts its mesh.
  void WaitForMesh();
  // Leaves no mesh on screen, as before the first build.
  void DropMesh() { AdoptMesh(IndexedMesh{}); }
  const IndexedMesh& DrawnMesh() const { return drawn_mesh_; }
  // Counts the meshes adopted, so the drawing knows when to rebuild its arrays.
  unsigned long DrawnMeshVersion() const { return drawn_version_; }
  // Terrain drawing
  void RenderTriangles();
  void PickTerrainColor(int height);
  // Frame
  void RenderFloodLight();
  void RenderText(char* text, int position);
  // Camera
  void FlyingCamera();
  static GLdouble ModRotd(GLdouble angle);

  // Read access to the current mesh for tests and benchmarks.
  const TriangleList* TriangleHead() const { return Triangles; }

 private:
  void AdoptMesh(IndexedMesh mesh);

  TriangleList* Triangles;
  IndexedMesh drawn_mesh_;
  unsigned long drawn_version_ = 0;

 public:
  GLdouble cam_x, cam_y, cam_z;
  GLdouble cam_x_angle;  // tilt from +y, degrees: 90 level, larger looks down
  GLdouble cam_y_angle;  // heading, degrees: 0 looks along -z, 90 along -x
  GLfloat air_speed;
};

extern Brackenholmer Viewer;

// Viewer state edited by the panel and the keys.
extern int wireframe;
extern int light;
extern int rendering_mode;  // 0 colour by height, 1 texture, 2 plain
extern int animation;
extern float y_multiplier;
extern float xz_multiplier;
// Columns of a grid in degrees are drawn as far apart as rows, as they are stored, instead
// of closer by the cosine of the latitude.
extern int square_cells;
extern GLdouble rotation_speed;
extern GLdouble angle_x, angle_y, angle_z;
extern GLint width, height;
extern GLuint texture_id;
extern int main_window;
extern int show_help;  // the help card is drawn over the view

// One normal per grid point: normales[row][column].
extern Normal** normales;
// The table is made at start and kept unless "Screen Error" is on, whose meshes bring
// normals of their own; true when it is wanted and could not be made.
bool NormalTableMissing();
// Counts the normal tables made, so the drawing knows when to refetch normals.
extern unsigned long normal_table_version;

// Meshes are built on a worker thread in the viewer; tests that want a mesh in the frame
// that asks for it leave this off.
extern bool mesh_builds_in_background;
// True while a requested mesh has not yet been adopted.
bool MeshBuildPending();

// Why --export and --snapshot refuse a grid whose every cell is NODATA (NODATA cells
// are holes there).
constexpr char kNoTerrainReason[] = "every cell of the grid is NODATA, there is no terrain to draw";

// Frame-rate measurement and the overlay text.
extern int frames;
extern float timebase;
extern float fps;
extern char text_buffer[512];

// The window y (counted from the top) of the panel's top edge: the 3-D view is drawn
// above it. The panel moves it as it opens and closes; kNoPanelTop while there is none.
constexpr float kNoPanelTop = 1e9f;
extern float panel_top;

// Mouse state of the navigation callbacks.
extern int left_button, right_button;
// With no wheel callback registered, freeglut reports a wheel notch as a press and a
// release of these buttons.
constexpr int kWheelUpButton = 3;
constexpr int kWheelDownButton = 4;
extern int prev_x, prev_y;

// The terrain is drawn from buffer objects where the context has them unless this is off.
extern bool terrain_vertex_buffers_allowed;

// Window and start-up.
int OpenViewer(int argc, char** argv);
void GlutInit(int argc, char** argv);
// What GlutInit does, with no window: normals, texture, start camera, light and material
// state in the current GL context. argv: the program, the grid and the texture (or null).
void SetUpScene(int argc, char** argv);
void GlutReshape(int w, int h);
// Frame
void GlutDisplay();
// Asks for a frame now and a few after it; the window draws only when something changed.
void RequestRedraw();
// How often a mesh build under way is looked at, in milliseconds.
constexpr unsigned kMeshWatchMs = 15;
// The 3-D part of a frame: camera, sky, floodlight, spin, model rotations and terrain. A
// frame that becomes a picture leaves the floodlight out unless `marker_in_pictures`.
enum class SceneUse { kWindow, kPicture };
void RenderScene(SceneUse use = SceneUse::kWindow);
// The start camera the command line gave, in place of the view from the south.
extern bool start_camera_given;
extern CameraPlace start_camera;
// Camera: the camera, the model turns and the spin back to their start values; the air
// speed stays.
void ResetView();
// The card listing every key and mouse action, over the frame.
void RenderHelpCard();
// Pictures of the view: the next frame writes its 3-D view, without overlay and panel, to
// a numbered PNG named `snapshot_stem` in the current folder.
extern std::string snapshot_stem;
void RequestSnapshot();
// Whether the next frame is to be kept as a picture.
bool SnapshotRequested();
// Writes the mesh on screen next to the pictures in the format `export_format` names
// (0 OBJ, 1 STL, 2 PLY, 3 binary glTF), a closed solid when `export_base` is on; the
// console and the overlay say where it went.
extern int export_base;
extern int export_format;
void ExportDrawnMesh();
// Flights: `k` adds the view as a keyframe, `K` takes the last away; "Save Flight" writes
// them next to the pictures as a numbered .flight file that --flight plays.
void AddViewKeyframe();
void RemoveLastKeyframe();
void SaveRecordedFlight();
// The grid file shown, and the texture file it is draped with (empty when none).
extern std::string grid_file;
extern std::string texture_file;
// In a frame, after the 3-D view is drawn and before anything goes over it. True when it
// drew the legend into the frame for the picture.
bool SaveRequestedSnapshot();
// The pixels of the 3-D view (the viewport) as RGB rows from top to bottom.
std::vector<unsigned char> ReadViewPixels(int* width, int* height);
// How long the overlay says where a picture went, in milliseconds.
constexpr int kSnapshotNoticeMs = 2000;
// The pointer in window pixels (-1 while it is outside the window), and the probe that
// reads the terrain under it after the 3-D part of a frame is drawn.
extern int pointer_x, pointer_y;
void ProbePointer();
// A Ctrl + click at window pixel (x, y): adds the terrain point under it to the profile
// path, or (`add` false) takes the path's last corner away, in the next frame.
void ClickProfilePath(int x, int y, bool add);
// In a frame, after the 3-D view is drawn: carries out the clicks; true when the path changed.
bool TakeProfilePathClicks();
// Navigation
void GlutMouse(int button, int state, int x, int y);
void GlutMotion(int x, int y);
void GlutKeyboard(unsigned char key, int x, int y);
void GlutSpecial(int key, int x, int y);
// Ends the program normally (status 0), as the panel's Quit does.
void QuitViewer();
// Panel
void GluiControl(int control);
