// Test support shared by the unit, draw and GL tests: the viewer's globals put back to the
// values the program started with (those of ViewerState.cpp), so that every test starts
// from one state whatever the tests before it did. Tests then set what they need on top.
#pragma once

#include <cstring>
#include <optional>
#include <string>

#include "Brackenholmer.h"
#include "LookGlobals.h"
#include "MeasureGlobals.h"
#include "ProfilePath.h"
#include "ViewerRelief.h"

namespace viewer_test {

// Every global of ViewerState.cpp but the grid `input` and the normal table `normales`,
// which tests own and set themselves, `main_window`, the window the GL tests share, and
// the counters of meshes and normal tables made, which the drawing compares with those
// it has arrays for. Of `Viewer`, the camera; its mesh is dropped.
struct ViewerGlobals {
  GLdouble cam_x, cam_y, cam_z, cam_x_angle, cam_y_angle;
  GLfloat air_speed;
  int triangle_count, terrain_size;
  Vertex terrain_border_1, terrain_border_2;
  int max_precision, max_approx_error, mesh_simplification, strict_error, mesh_mode;
  bool refresh_mesh;
  int show_nodata;
  long long mesh_triangle_budget;
  int screen_error;
  float max_screen_error;
  int screen_triangle_cap;
  int wireframe, light, rendering_mode, animation;
  float y_multiplier, xz_multiplier;
  int square_cells;
  GLdouble rotation_speed, angle_x, angle_y, angle_z;
  GLint width, height;
  GLuint texture_id;
  int show_help;
  std::string snapshot_stem;
  int export_base;
  std::string grid_file, texture_file;
  bool start_camera_given;
  CameraPlace start_camera;
  bool mesh_builds_in_background;
  int frames;
  float timebase, fps;
  char text_buffer[sizeof ::text_buffer];
  int left_button, right_button, prev_x, prev_y;
  int relief_shading, multidirectional, cast_shadows, ambient_occlusion, colour_ramp;
  float sun_azimuth, sun_altitude;
  int show_legend, legend_in_pictures, sky, haze, marker_in_pictures;
  int relief_texture_limit;
  int show_contours, show_scale_bar, show_north_arrow;
  float contour_interval;

  // `load` true: from the globals into this; false: from this into the globals.
  void Transfer(bool load) {
    auto move = [load](auto& mine, auto& global) { load ? (void)(mine = global) : (void)(global = mine); };
    move(cam_x, ::Viewer.cam_x);
    move(cam_y, ::Viewer.cam_y);
    move(cam_z, ::Viewer.cam_z);
    move(cam_x_angle, ::Viewer.cam_x_angle);
    move(cam_y_angle, ::Viewer.cam_y_angle);
    move(air_speed, ::Viewer.air_speed);
    move(triangle_count, ::triangle_count);
    move(terrain_size, ::terrain_size);
    move(terrain_border_1, ::terrain_border_1);
    move(terrain_border_2, ::terrain_border_2);
    move(max_precision, ::max_precision);
    move(max_approx_error, ::max_approx_error);
    move(mesh_simplification, ::mesh_simplification);
    move(screen_error, ::screen_error);
    move(max_screen_error, ::max_screen_error);
    move(screen_triangle_cap, ::screen_triangle_cap);
    move(strict_error, ::strict_error);
    move(mesh_mode, ::mesh_mode);
    move(refresh_mesh, ::refresh_mesh);
    move(show_nodata, ::show_nodata);
    move(mesh_triangle_budget, ::mesh_triangle_budget);
    move(wireframe, ::wireframe);
    move(light, ::light);
    move(rendering_mode, ::rendering_mode);
    move(animation, ::animation);
    move(y_multiplier, ::y_multiplier);
    move(xz_multiplier, ::xz_multiplier);
    move(square_cells, ::square_cells);
    move(rotation_speed, ::rotation_speed);
    move(angle_x, ::angle_x);
    move(angle_y, ::angle_y);
    move(angle_z, ::angle_z);
    move(width, ::width);
    move(height, ::height);
    move(texture_id, ::texture_id);
    move(show_help, ::show_help);
    move(snapshot_stem, ::snapshot_stem);
    move(export_base, ::export_base);
    move(grid_file, ::grid_file);
    move(texture_file, ::texture_file);
    move(start_camera_given, ::start_camera_given);
    move(start_camera, ::start_camera);
    move(mesh_builds_in_background, ::mesh_builds_in_background);
    move(frames, ::frames);
    move(timebase, ::timebase);
    move(fps, ::fps);
    if (load) std::memcpy(text_buffer, ::text_buffer, sizeof text_buffer);
    else std::memcpy(::text_buffer, text_buffer, sizeof text_buffer);
    move(left_button, ::left_button);
    move(right_button, ::right_button);
    move(prev_x, ::prev_x);
    move(prev_y, ::prev_y);
    move(relief_shading, ::relief_shading);
    move(multidirectional, ::multidirectional);
    move(cast_shadows, ::cast_shadows);
    move(ambient_occlusion, ::ambient_occlusion);
    move(colour_ramp, ::colour_ramp);
    move(sun_azimuth, ::sun_azimuth);
    move(sun_altitude, ::sun_altitude);
    move(show_legend, ::show_legend);
    move(legend_in_pictures, ::legend_in_pictures);
    move(sky, ::sky);
    move(haze, ::haze);
    move(marker_in_pictures, ::marker_in_pictures);
    move(relief_texture_limit, ::relief_texture_limit);
    move(show_contours, ::show_contours);
    move(show_scale_bar, ::show_scale_bar);
    move(show_north_arrow, ::show_north_arrow);
    move(contour_interval, ::contour_interval);
  }
};

// Puts the globals back to their start values, taken on the first call, which must come
// before any test has changed them (from a listener's or a fixture's first set-up).
inline void RestoreViewerStartState() {
  static std::optional<ViewerGlobals> start;
  if (!start) {
    start.emplace();
    start->Transfer(true);
  }
  start->Transfer(false);
  ::Viewer.DropMesh();
  ClearProfilePath();
}

}  // namespace viewer_test
