// Test helper: generated worlds, kept as snapshots.
#include "tests/support/test_world.h"

#include <cstring>
#include <memory>

#include "scene/startup.h"

void use_generated_world(bool saver_build)
{
    static std::unique_ptr<world_state> snapshots[2];
    std::unique_ptr<world_state>& snapshot = snapshots[saver_build ? 1 : 0];
    if (!snapshot) {
        reset_world(saver_build);
        generate_world();
        snapshot.reset(new world_state);
        std::memcpy(snapshot.get(), &world, sizeof world);
    } else {
        std::memcpy(&world, snapshot.get(), sizeof world);
    }
}
