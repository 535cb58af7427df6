// Quadric shape cache: one display list per distinct sphere, cylinder or cone.
#pragma once

void solid_sphere(double radius);
// Makes current the normal a sphere of any radius leaves current after it is
// drawn, for a caller that leaves one out.
void leave_sphere_normal();
void solid_cylinder(double radius, double height);
void solid_cone(double radius, double height);
// Deletes every cached list and empties the cache; called before the
// rendering context that built them goes away.
void release_shape_cache();

enum shape_kind { SHAPE_SPHERE = 0, SHAPE_CYLINDER = 1, SHAPE_CONE = 2 };

// List of the most recent entry of `kind` whose `count` parameters equal the
// given ones exactly, or 0.
unsigned int lookup_shape(shape_kind kind, const double* parameters, int count);
// Makes a new entry at the head of the kind's chain; it takes ownership of
// `parameters` (allocated with new[]). Returns its list name; on a list name
// of 0 nothing is registered and the array is freed.
unsigned int register_shape(shape_kind kind, double* parameters, int count);
// Number of entries of `kind` (tests and diagnostics).
int shape_cache_count(shape_kind kind);
