// Terrain drawing: the lake-bed cells around the camera.
#include "lakebed/terrain.h"

#include <algorithm>
#include <cmath>

#include "common/gl.h"
#include "common/world.h"
#include "render/view_volume.h"

namespace {

// Cells are drawn from the camera's cell out to this many cells each way.
constexpr int BED_WINDOW = 100;
// Cells whose first corner is this far from the camera or farther are not drawn.
constexpr double BED_DRAW_DISTANCE = 320.0;
// Radius of the sphere tested against the view volume for each cell.
constexpr float BED_CELL_RADIUS = 550.0f;

const GLfloat FRONT_SPECULAR[4] = {0, 1, 0, 1};
const GLfloat BACK_SPECULAR[4] = {0, 0, 1, 1};

// The vertices of one frame's bed triangles, built per frame and handed over
// in one draw call: each cell's two triangles, as separate triangles, in the
// order of the cell loop. Positions and colours are single-precision values
// that the double-precision world positions hold exactly.
constexpr int BED_WINDOW_CELLS = (2 * BED_WINDOW + 1) * (2 * BED_WINDOW + 1);
constexpr int BED_WINDOW_VERTICES = (2 * BED_WINDOW + 2) * (2 * BED_WINDOW + 2);
// The frame's bed triangles as indices into one array of the vertices they
// use: a vertex shared by up to six triangles is sent, and lit, once.
GLfloat bed_positions[BED_WINDOW_VERTICES][3];
GLfloat bed_colours[BED_WINDOW_VERTICES][3];
GLuint bed_indices[BED_WINDOW_CELLS * 6];
// Array slot of each window vertex in the current frame, valid where its
// stamp is the frame's.
GLuint bed_slot[2 * BED_WINDOW + 2][2 * BED_WINDOW + 2];
unsigned bed_slot_stamp[2 * BED_WINDOW + 2][2 * BED_WINDOW + 2];
unsigned bed_frame_stamp = 0;

// Adds vertex (i, j) to the frame's triangles, sending it on its first use.
inline void put_bed_vertex(int& vertices, int& indices, int i, int j, int i0, int j0)
{
    const int wi = i - i0, wj = j - j0;
    if (bed_slot_stamp[wi][wj] != bed_frame_stamp) {
        bed_slot_stamp[wi][wj] = bed_frame_stamp;
        bed_slot[wi][wj] = (GLuint)vertices;
        const float* c = world.bed_colour[i][j];
        bed_colours[vertices][0] = c[0];
        bed_colours[vertices][1] = c[1];
        bed_colours[vertices][2] = c[2];
        bed_positions[vertices][0] = (GLfloat)(10 * i - 10000);
        bed_positions[vertices][1] = world.bed_height[i][j];
        bed_positions[vertices][2] = (GLfloat)(10 * j - 10000);
        ++vertices;
    }
    bed_indices[indices++] = bed_slot[wi][wj];
}

}  // namespace

void draw_lake_bed(int ci, int cj, float x, float y, float z)
{
    glMaterialfv(GL_FRONT, GL_SPECULAR, FRONT_SPECULAR);
    glMaterialfv(GL_BACK, GL_SPECULAR, BACK_SPECULAR);
    int vertices = 0, n = 0;
    int last_i = -1, last_j = -1;
    const int i0 = ci - BED_WINDOW, j0 = cj - BED_WINDOW;
    if (++bed_frame_stamp == 0) {
        // The stamp wrapped: forget every slot.
        for (auto& row : bed_slot_stamp)
            for (unsigned& stamp : row) stamp = 0;
        bed_frame_stamp = 1;
    }
    // Only cells whose first corner lies within the draw distance along x
    // and along z can pass the distance test below; the loops leave out the
    // window's rows and columns beyond it (a cell more, either way, for
    // safety) without testing every cell of the window.
    auto first_cell = [](int centre, double along) {
        const double reach = std::floor((along + 10000.0 - BED_DRAW_DISTANCE) / 10.0) - 1;
        return (int)std::max((double)(centre - BED_WINDOW), std::min(reach, (double)(centre + BED_WINDOW + 1)));
    };
    auto last_cell = [](int centre, double along) {
        const double reach = std::ceil((along + 10000.0 + BED_DRAW_DISTANCE) / 10.0) + 1;
        return (int)std::min((double)(centre + BED_WINDOW), std::max(reach, (double)(centre - BED_WINDOW - 1)));
    };
    const int i_first = first_cell(ci, x), i_last = last_cell(ci, x);
    const int j_first = first_cell(cj, z), j_last = last_cell(cj, z);
    for (int i = i_first; i <= i_last; ++i) {
        if (i < 0 || i + 1 >= BED_SIZE) continue;
        for (int j = j_first; j <= j_last; ++j) {
            if (j < 0 || j + 1 >= BED_SIZE) continue;
            const float h = world.bed_height[i][j];
            if (!sphere_in_view((float)(10 * i - 9995), h, (float)(10 * j - 9995), BED_CELL_RADIUS))
                continue;
            const double dx = x - (10.0 * i - 10000.0);
            const double dy = (double)y - h;
            const double dz = z - (10.0 * j - 10000.0);
            if (std::sqrt(dx * dx + dy * dy + dz * dz) >= BED_DRAW_DISTANCE) continue;
            last_i = i;
            last_j = j;
            // A cell whose four corners all lie beyond one plane of the view
            // volume cannot reach a pixel: its triangles are left out.
            const double corners[4][3] = {
                {10.0 * i - 10000.0, world.bed_height[i][j], 10.0 * j - 10000.0},
                {10.0 * i - 10000.0, world.bed_height[i][j + 1], 10.0 * (j + 1) - 10000.0},
                {10.0 * (i + 1) - 10000.0, world.bed_height[i + 1][j + 1], 10.0 * (j + 1) - 10000.0},
                {10.0 * (i + 1) - 10000.0, world.bed_height[i + 1][j], 10.0 * j - 10000.0},
            };
            if (points_outside_view(corners, 4)) continue;
            put_bed_vertex(vertices, n, i, j, i0, j0);
            put_bed_vertex(vertices, n, i, j + 1, i0, j0);
            put_bed_vertex(vertices, n, i + 1, j + 1, i0, j0);
            put_bed_vertex(vertices, n, i, j, i0, j0);
            put_bed_vertex(vertices, n, i + 1, j + 1, i0, j0);
            put_bed_vertex(vertices, n, i + 1, j, i0, j0);
        }
    }
    if (last_i < 0) return;
    // Drawing from arrays leaves the current colour undefined; immediate mode
    // would leave the last vertex's colour current: that of corner (i + 1, j)
    // of the last cell in range, drawn or left out.
    if (n == 0) {
        glColor3fv(world.bed_colour[last_i + 1][last_j]);
        return;
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, bed_positions);
    glColorPointer(3, GL_FLOAT, 0, bed_colours);
    glDrawElements(GL_TRIANGLES, n, GL_UNSIGNED_INT, bed_indices);
    glPopClientAttrib();
    glColor3fv(world.bed_colour[last_i + 1][last_j]);
}
