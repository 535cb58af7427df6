// Fog and lamp: the breathing linear fog and the blue spot light carried with the viewer.
#include "lakebed/fog.h"

#include <cmath>

#include "common/angles.h"
#include "common/gl.h"
#include "common/world.h"

namespace {

// Pulse of the fog end by the tenth of the phase: a ten-frame breath.
constexpr float FOG_PULSE[10] = {0, 1, 2, 4, 7, 10, 7, 4, 2, 1};

constexpr float FOG_START = 2;
constexpr float FOG_DENSITY = 0.5f;

}  // namespace

void update_headlamp_colours()
{
    const float tint = (float)(world.lamp_strength * (double)0.0001f);
    const float full = (float)(world.lamp_strength * (double)0.0005f);
    world.lamp_ambient[0] = world.lamp_ambient[1] = tint;
    world.lamp_ambient[2] = full;
    world.lamp_diffuse[0] = world.lamp_diffuse[1] = tint;
    world.lamp_diffuse[2] = full;
    world.lamp_specular[0] = world.lamp_specular[1] = world.lamp_specular[2] = full;
}

void refresh_headlamp()
{
    update_headlamp_colours();
    glLightfv(GL_LIGHT1, GL_AMBIENT, world.lamp_ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, world.lamp_diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, world.lamp_specular);
    glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 90);
    glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 20);
}

float advance_fog_phase()
{
    world.fog_phase = (float)(world.fog_phase + 0.1);
    return world.fog_phase;
}

void fog_colour(float t, float d, float colour[4])
{
    colour[0] = 0;
    colour[1] = (float)(((double)t + (double)0.2f) * d);
    colour[2] = (float)(((double)t + (double)0.4f) * d);
    colour[3] = 1;
}

float fog_end_for_phase(float phase)
{
    const int k = (int)(phase * 10.0);
    int m = k % 10;
    if (m < 0) m += 10;  // the pulse is symmetric; phases below zero never occur
    return (float)(world.view_range / 2.0 - FOG_PULSE[m]);
}

void apply_fog(float t, float d)
{
    const float phase = advance_fog_phase();
    glEnable(GL_FOG);
    const GLint modes[3] = {GL_EXP, GL_EXP2, GL_LINEAR};
    glFogi(GL_FOG_MODE, modes[2]);
    float colour[4];
    fog_colour(t, d, colour);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_DENSITY, FOG_DENSITY);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, FOG_START);
    glFogf(GL_FOG_END, fog_end_for_phase(phase));
}
