// A frame's motion without drawing: the world moves exactly as the frame drivers move it.
#include "common/keys.h"
#include "common/world.h"
#include "instruments/dials.h"
#include "lakebed/fog.h"
#include "lakebed/height_queries.h"
#include "lakebed/water.h"
#include "objects/bubbles.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "render/view_volume.h"
#include "scene/camera.h"
#include "scene/frame.h"
#include "scene/title.h"

namespace {

// The steps of begin_world_frame that change the world: the view volume of
// the camera where it stands, the lamp, the fog's phase, the bubbles.
void begin_world_motion()
{
    float projection[16], modelview[16];
    camera_matrices(world.camera_x, world.camera_y, world.camera_z, world.camera_yaw, world.camera_pitch,
                    CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT, projection, modelview);
    frustum_from_matrices(projection, modelview);
    update_headlamp_colours();
    advance_fog_phase();
    update_bubbles(world.large_layout);
}

// The steps of draw_world that change the world, from the moved camera.
void world_motion()
{
    float sx, sz;
    advance_ripples(sx, sz);
    move_weed_beds(world.camera_x, world.camera_z);
    update_fish(world.camera_x, world.camera_z);
    world.fish_drawn_count = count_fish_in_sight(world.camera_x, world.camera_z);
}

}  // namespace

void advance_frame_without_drawing()
{
    if (world.saver_build) turn_saver_camera();
    if (world.title_running) {
        step_title_points();
        advance_title(world.keys[VK_CODE_ESCAPE]);
        return;
    }
    begin_world_motion();
    if (world.saver_build)
        hold_camera_below_surface();
    else
        move_camera_from_keys();
    if (world.keys[VK_CODE_ESCAPE]) world.done = true;
    world_motion();
    if (world.saver_build) return;
    // The dials, in the order they are drawn: the sounder's sweep and
    // reading, then the fish finder's.
    const float bed_distance = bed_vertex_distance(world.camera_x, world.camera_y, world.camera_z,
                                                   grid_index(world.camera_x), grid_index(world.camera_z));
    advance_sweep(world.sounder_sweep);
    update_sounder_reading(bed_distance);
    advance_sweep(world.finder_sweep);
    update_finder_reading(world.fish_drawn_count);
}
