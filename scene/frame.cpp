// Frame drivers: the interactive frame and the screensaver's frame, each in its fixed order of steps.
#include "scene/frame.h"

#include "common/gl.h"
#include "common/keys.h"
#include "common/world.h"
#include "instruments/dials.h"
#include "instruments/pitch_dial.h"
#include "instruments/view_frame.h"
#include "lakebed/fog.h"
#include "lakebed/height_queries.h"
#include "lakebed/terrain.h"
#include "render/design_frame.h"
#include "render/view_volume.h"
#include "lakebed/water.h"
#include "objects/bubbles.h"
#include "objects/fish.h"
#include "objects/tower.h"
#include "objects/weeds.h"
#include "scene/camera.h"
#include "scene/credits.h"
#include "scene/frame_rate.h"
#include "render/overlay.h"
#include "render/picture_fit.h"
#include "scene/title.h"

namespace {


// In single precision the yaw stops growing at 2^24. Long before that the
// screensaver takes back a whole number of degrees that is, to within 0.0001
// degrees, 11343 full turns of its view (one turn is 360 x 3.14159265 /
// 3.14592 = 359.5048 of its degrees), so the turn never stalls and never jumps.
constexpr float SAVER_YAW_LIMIT = 8388608.0f;
constexpr float SAVER_YAW_TURNS = 4077863.0f;

frame_step_observer step_observer = nullptr;

inline void step_done(frame_step step)
{
    if (step_observer) step_observer(step);
}

// Steps 2 to 7 of a main-view frame, shared by both drivers. With `opening`
// (x, y, width, height) the rest of the frame after the clear draws only
// inside that rectangle of the window.
void begin_world_frame(const int* opening)
{
    place_camera(world.camera_x, world.camera_y, world.camera_z, world.camera_yaw, world.camera_pitch,
                 CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (opening) {
        glScissor(opening[0], opening[1], opening[2], opening[3]);
        glEnable(GL_SCISSOR_TEST);
    }
    extract_view_frustum();
    limit_view_to_scissor();
    refresh_headlamp();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    float t, d;
    frame_colour_factors(world.camera_pitch, world.camera_y, t, d);
    float background[4];
    fog_colour(t, d, background);
    // Takes effect at the next frame's clear.
    glClearColor(background[0], background[1], background[2], background[3]);
    apply_fog(t, d);
    step_done(FRAME_STEP_SET_UP);
    draw_bubbles();
    update_bubbles(world.large_layout);
    step_done(FRAME_STEP_BUBBLES);
}

// Step 14: the world around the camera, inside a pushed model-view matrix.
// Plants and lake-bed cells that cannot reach a pixel are left out.
void draw_world()
{
    leave_out_unseen(true);
    glPushMatrix();
    const int ci = grid_index(world.camera_x);
    const int cj = grid_index(world.camera_z);
    draw_lake_bed(ci, cj, world.camera_x, world.camera_y, world.camera_z);
    step_done(FRAME_STEP_LAKE_BED);
    draw_central_tower();
    step_done(FRAME_STEP_TOWER);
    draw_water_surface(world.camera_x, world.camera_z, world.camera_y);
    step_done(FRAME_STEP_WATER);
    update_weed_beds(world.camera_x, world.camera_z);
    step_done(FRAME_STEP_WEEDS);
    update_fish(world.camera_x, world.camera_z);
    draw_fish(world.camera_x, world.camera_z);
    glPopMatrix();
    leave_out_unseen(false);
    step_done(FRAME_STEP_FISH);
}

}  // namespace

const char* frame_step_name(frame_step step)
{
    static const char* const names[FRAME_STEP_COUNT] = {
        "set-up (clear, fog, lamp)", "bubbles", "camera", "lake bed", "tower", "water",
        "weeds", "fish", "view frame", "dials", "text"};
    return step >= 0 && step < FRAME_STEP_COUNT ? names[step] : "";
}

void set_frame_step_observer(frame_step_observer observer)
{
    step_observer = observer;
}

void frame_colour_factors(float pitch, float camera_y, float& t, float& d)
{
    t = (float)((pitch + 180.0) / 2160.0);
    d = (float)(camera_y / 800.0 + 1.5);
}

void turn_saver_camera()
{
    world.camera_yaw = (float)(world.camera_yaw + 1.0);
    if (world.camera_yaw >= SAVER_YAW_LIMIT) world.camera_yaw = (float)(world.camera_yaw - SAVER_YAW_TURNS);
}

bool run_frame_interactive()
{
    if (world.title_running) {
        run_title_frame(world.large_layout);
        return true;
    }
    // The world is drawn only inside the view frame's opening: the frame
    // paints every pixel outside it over whatever lies there. (The clear
    // still takes the whole window: the renderer clears it fastest whole.)
    const int viewport[4] = {0, 0, CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT};  // the camera's, kept by the overlay
    int opening[4];
    const bool framed = view_frame_opening(
        world.large_layout,
        overlay_window_of(world.client_width, world.client_height, viewport, world.client_width, world.client_height),
        opening);
    begin_world_frame(framed ? opening : nullptr);
    move_camera_from_keys();
    if (world.keys[VK_CODE_ESCAPE]) world.done = true;
    step_done(FRAME_STEP_CAMERA);
    draw_world();
    restore_picture_scissor();

    // 15. distance to the bed for the sounder
    const float bed_distance = bed_vertex_distance(world.camera_x, world.camera_y, world.camera_z,
                                                   grid_index(world.camera_x), grid_index(world.camera_z));

    begin_overlay();
    const bool large = world.large_layout;
    draw_view_frame(large);
    step_done(FRAME_STEP_VIEW_FRAME);
    draw_depth_gauge(world.camera_y, large);
    draw_bottom_sounder(bed_distance, large);
    draw_pitch_dial(world.camera_pitch, large);
    draw_compass(world.camera_yaw, large);
    draw_fish_finder(world.fish_drawn_count, large);
    step_done(FRAME_STEP_DIALS);
    draw_credit_line(false, large);
    step_done(FRAME_STEP_TEXT);
    return true;
}

bool run_frame_saver()
{
    turn_saver_camera();
    if (world.title_running) {
        run_title_frame(world.large_layout);
        return true;
    }
    begin_world_frame(nullptr);
    hold_camera_below_surface();
    if (world.keys[VK_CODE_ESCAPE]) world.done = true;
    step_done(FRAME_STEP_CAMERA);
    draw_world();
    begin_overlay();
    draw_credit_line(true, world.large_layout);
    step_done(FRAME_STEP_TEXT);
    return true;
}

bool run_frame()
{
    start_frame_timing();
    begin_design_frame();
    clear_picture_bars();
    const bool drawn = world.saver_build ? run_frame_saver() : run_frame_interactive();
    draw_frame_rate();
    present_design_frame();
    return drawn;
}
