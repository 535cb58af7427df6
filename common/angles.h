// Degree-to-radian factors: the camera's own constant and the one of everything else.
#pragma once

// The camera (view and movement) converts with 3.14592, not pi.
constexpr double CAMERA_DEG_TO_RAD = 3.14592 / 180.0;
// Every other subsystem converts with 3.14.
constexpr double DEG_TO_RAD = 3.14 / 180.0;
