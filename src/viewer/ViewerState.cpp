// Definitions of the viewer object and of every viewer global, with their start values.
#include <algorithm>

#include "Brackenholmer.h"
#include "ScreenView.h"

data input;

Brackenholmer Viewer;

int triangle_count = 0;
int terrain_size = 0;
Vertex terrain_border_1 = {0, 0, 0};
Vertex terrain_border_2 = {0, 0, 0};
int max_precision = 6;
int max_approx_error = 10;
int mesh_simplification = 0;
int strict_error = 1;
int mesh_mode = 0;
bool refresh_mesh = true;
int show_nodata = 0;
long long mesh_triangle_budget = kDefaultMeshTriangleBudget;
int screen_error = 0;
float max_screen_error = static_cast<float>(mesh::kDefaultScreenError);
int screen_triangle_cap = static_cast<int>(mesh::kDefaultScreenTriangleCap);

void MeshWholeGrid() {
  terrain_border_1.x = 0;
  terrain_border_1.z = 0;
  // The longer side, so a wide grid is meshed to its eastern edge too.
  terrain_size = std::max(input.rows, input.cols);
  terrain_border_2.x = input.cols;
  terrain_border_2.z = input.rows;
}

int wireframe = 0;
int light = 1;
int rendering_mode = 0;
int animation = 0;
float y_multiplier = 1.0f;
float xz_multiplier = 1.0f;
int square_cells = 0;
GLdouble rotation_speed = 2.0;
GLdouble angle_x = 0, angle_y = 0, angle_z = 0;
GLint width = 0, height = 0;
GLuint texture_id = 0;
int main_window = 0;
int show_help = 0;
std::string snapshot_stem = "view";
int export_base = 0;
int export_format = 0;
std::string grid_file;
std::string texture_file;
bool start_camera_given = false;
CameraPlace start_camera;

Normal** normales = nullptr;
unsigned long normal_table_version = 0;
bool mesh_builds_in_background = false;

int frames = 0;
float timebase = 0;
float fps = 0;
char text_buffer[512];

float panel_top = kNoPanelTop;

int left_button = 0, right_button = 0;
int prev_x = 0, prev_y = 0;
