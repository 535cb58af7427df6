// Water surface: the rippled, colour-banded sheet at height 300 above the viewer.
#pragma once

// Largest multiple of 30 not above v.
int floor30(int v);

// Curvature and lift of the ripple shape for a phase (one of ten shapes).
struct ripple_shape {
    float curvature;
    float lift;
};
ripple_shape ripple_shape_for_phase(float phase);

// Ripple height of lattice point (px, pz) in the ripple cell with lower corner
// (ax, az), for the current ripple_phase.
float ripple_height(int ax, int az, int px, int pz);

// Colour of a ripple height h for the current ripple_phase (red, green, blue, alpha).
struct water_rgba {
    double r, g, b, a;
};
water_rgba water_colour_for(float h);
// Sets the current colour for the next vertex.
void water_colour(float h);

// Advances ripple_phase and ripple_drift by 0.1 each (no OpenGL) and returns the
// pattern offsets sx and sz of this frame.
void advance_ripples(float& sx, float& sz);

// Advances the phase and drift and draws the visible squares.
void draw_water_surface(float camera_x, float camera_z, float camera_y);
