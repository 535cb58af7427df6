// Quadric shape cache: one display list per distinct sphere, cylinder or cone.
#pragma once

void solid_sphere(double radius);
void solid_cylinder(double radius, double height);
void solid_cone(double radius, double height);
// Deletes every cached list and empties the cache; called before the
// rendering context that built them goes away.
void release_shape_cache();
