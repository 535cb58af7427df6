// The camera: view placement and the interactive movement rule.
#pragma once

// Every view is placed in a 1024 x 768 viewport, whatever the window's size.
constexpr int CAMERA_VIEW_WIDTH = 1024;
constexpr int CAMERA_VIEW_HEIGHT = 768;

// Viewport, projection and look-at for a camera at (x, y, z) with yaw and pitch in degrees.
void place_camera(float x, float y, float z, float yaw, float pitch, int width, int height);
// The two matrices place_camera leaves in the GL (column-major), worked out
// without it: the GLU perspective and look-at arithmetic, then the GL's own
// single-precision product and translation, step for step, so that the view
// volume taken from them is the one a frame drawn through the GL culls with.
void camera_matrices(float x, float y, float z, float yaw, float pitch, int width, int height,
                     float projection[16], float modelview[16]);

// Tries one movement step with sign +1 (forward) or -1 (back) under the
// clearance rule, given the start clearance c0. Returns true when accepted;
// a refused step raises camera_y by 0.25 instead.
bool try_camera_step(float c0, int sign);

// The interactive driver's key handling: movement from Up and Down under the
// clearance rule, turning with Left and Right (yaw wrapped into [0, 360)),
// pitch with Q and A (held within -89..89), then the height limit 298.
void move_camera_from_keys();

// Holds the camera at or below height 298, under the water surface.
void hold_camera_below_surface();
