// Terrain drawing: the lake-bed cells around the camera.
#pragma once

// Draws the visible bed cells around grid cell (ci, cj) for the camera at (x, y, z).
void draw_lake_bed(int ci, int cj, float x, float y, float z);
