// Fog and the viewer's lamp: per-frame fog whose colour follows depth and pitch, and the carried spot light.
#pragma once

// Rewrites the lamp colours in the world state (no OpenGL).
void update_headlamp_colours();
// Rewrites the lamp colours and hands light 1 its colours and spot shape.
void refresh_headlamp();

// Advances fog_phase by 0.1 and returns the new phase (no OpenGL).
float advance_fog_phase();
// Fog colour for the colour factors t and d: (0, (t + 0.2) d, (t + 0.4) d, 1).
void fog_colour(float t, float d, float colour[4]);
// Fog end for a phase: view_range / 2 minus the pulse of the phase's tenth.
float fog_end_for_phase(float phase);
// Sets this frame's fog.
void apply_fog(float t, float d);
