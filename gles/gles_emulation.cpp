// OpenGL 1.1 on OpenGL ES 3 / WebGL 2: fixed-function state, immediate mode, display lists, shaders (gles_backend.h).
#define GL_GLEXT_PROTOTYPES
#include "gles/gles_backend.h"

#include "common/gl_functions.h"
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <map>
#include <unordered_map>
#include <vector>

#include "gles/gles_internal.h"

namespace gles {

namespace {

// ---------------------------------------------------------------------------
// The shader program: OpenGL 1.1's vertex lighting, fog and alpha test.

// One program for each combination of the state a draw uses, given as
// macros before these sources (see program_key), so that no vertex or
// fragment runs code for what is off: a software renderer such as
// SwiftShader runs both sides of every branch, so a branch on a uniform
// costs what both sides cost.
//   WINDOW: vertices in window coordinates, drawn as they are.
//   EYE_SPACE: vertices and normals in eye coordinates already.
//   LIGHTING, TWO_SIDE, FOG, ALPHA_TEST: those switches.
//   FRONT_ONLY: back faces are culled, so only the front colour is needed.
//   With LIGHTING: LIGHT_ON (a light is on), POSITIONAL (at a point),
//   SPOT, SPOT_EXPONENT, ATTENUATION (not the constant 1), LOCAL_VIEWER,
//   NORMALIZE, SHINE0 and SHINE1 (a shininess on the front and back face),
//   TRACKED0 and TRACKED1 (the colour material per face: 1 ambient,
//   2 diffuse, 4 specular, 8 emission).
//   With FOG: FOG_MODE, 1 linear, 2 exp, 3 exp2.
//   With ALPHA_TEST: ALPHA_FUNC, 1 never, 2 less, 3 lequal, 4 equal,
//   5 gequal, 6 greater, 7 notequal.
const char* const VERTEX_SHADER_START = R"(
precision highp float;
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec4 a_colour;
uniform mat4 u_modelview;
uniform mat4 u_projection;
uniform mat3 u_normal_matrix;
uniform vec4 u_scene_ambient;
uniform vec4 u_light[4];        // ambient, diffuse, specular, position in eye coordinates
uniform vec3 u_spot_direction;  // in eye coordinates, unit length
uniform vec3 u_spot;            // exponent, cosine of the cutoff, cutoff in degrees
uniform vec3 u_attenuation;     // constant, linear, quadratic
uniform vec4 u_material[8];     // front then back: ambient, diffuse, specular, emission
uniform float u_shininess[2];
uniform float u_point_size;
uniform vec3 u_fog_range;       // start, end, density
out vec4 v_front;
#if TWO_SIDE && !FRONT_ONLY
out vec4 v_back;
#endif
#if FOG
// Linear fog: the fog factor before clamping, which is linear in the
// distance and so interpolates as the distance would; otherwise the distance.
out float v_fog;
#endif

// Mesa, whose pictures are the reference, raises n.l to the power n.l
// under an attenuated light in place of n.h to the power 0, where neither
// face has a shininess.
#define MESA_SHINE (SHINE0 == 0 && (TWO_SIDE == 0 || SHINE1 == 0))
#define ATTENUATED (POSITIONAL && (SPOT || ATTENUATION))
// Both faces raise the same |n.l| to that power where they do at all (the
// back face's n.l is the front's negated): it is worked out once.
#define SHARED_MESA_SHINE (LIGHTING && LIGHT_ON && MESA_SHINE && ATTENUATED)

#if LIGHTING && LIGHT_ON
// The light at a vertex, the same for both faces: the unit vector towards
// it, its attenuation (spot included) and the half vector of the specular
// term, where a shininess needs it.
vec3 g_l;
vec3 g_h;
float g_attenuation;
#if SHARED_MESA_SHINE
float g_mesa_shine;  // |n.l| to the power |n.l|
#endif

void light_at(vec3 eye)
{
    g_attenuation = 1.0;
#if POSITIONAL
    vec3 d = u_light[3].xyz / u_light[3].w - eye;
    float distance = length(d);
    g_l = d / distance;
#if ATTENUATION
    g_attenuation = 1.0 / (u_attenuation.x + u_attenuation.y * distance + u_attenuation.z * distance * distance);
#endif
#if SPOT
    float s = dot(-g_l, u_spot_direction);
#if SPOT_EXPONENT
    g_attenuation = s < u_spot.y ? 0.0 : g_attenuation * pow(max(s, 0.0), u_spot.x);
#else
    if (s < u_spot.y) g_attenuation = 0.0;
#endif
#endif
#else
    g_l = normalize(u_light[3].xyz);
#endif
#if !MESA_SHINE
#if LOCAL_VIEWER
    g_h = normalize(g_l + normalize(-eye));
#else
    g_h = normalize(g_l + vec3(0.0, 0.0, 1.0));
#endif
#endif
}
#endif
)";

// The colour of face @ (0 front, 1 back) whose normal is `n`, after
// light_at; written out once for each face.
const char* const LIT_FACE = R"(
#if LIGHTING
vec4 lit@(vec3 n, float nl, vec4 colour)
{
#if (TRACKED@ & 1) != 0
    vec4 ambient = colour;
#else
    vec4 ambient = u_material[@ * 4];
#endif
#if (TRACKED@ & 2) != 0
    vec4 diffuse = colour;
#else
    vec4 diffuse = u_material[@ * 4 + 1];
#endif
#if (TRACKED@ & 4) != 0
    vec4 specular = colour;
#else
    vec4 specular = u_material[@ * 4 + 2];
#endif
#if (TRACKED@ & 8) != 0
    vec4 emission = colour;
#else
    vec4 emission = u_material[@ * 4 + 3];
#endif
    vec3 c = emission.rgb + ambient.rgb * u_scene_ambient.rgb;
#if LIGHT_ON
    float shine = 1.0;
#if SHARED_MESA_SHINE
    shine = g_mesa_shine;
#elif !MESA_SHINE && SHINE@
    float nh = max(dot(n, g_h), 0.0);
    shine = nh > 0.0 ? pow(nh, u_shininess[@]) : 0.0;
#endif
    c += g_attenuation * (ambient.rgb * u_light[0].rgb + max(nl, 0.0) * diffuse.rgb * u_light[1].rgb +
                          (nl > 0.0 ? shine : 0.0) * specular.rgb * u_light[2].rgb);
#endif
    return clamp(vec4(c, diffuse.a), 0.0, 1.0);
}
#endif
)";

const char* const VERTEX_SHADER_MAIN = R"(
void main()
{
#if WINDOW
    gl_Position = a_position;
    gl_PointSize = 1.0;
    v_front = a_colour;
#else
#if EYE_SPACE
    vec4 eye = a_position;
#else
    vec4 eye = u_modelview * a_position;
#endif
    gl_Position = u_projection * eye;
    gl_PointSize = u_point_size;
#if FOG
    float distance = abs(eye.z);
#if FOG_MODE == 1
    v_fog = (u_fog_range.y - distance) / (u_fog_range.y - u_fog_range.x);
#else
    v_fog = distance;
#endif
#endif
#if LIGHTING
#if EYE_SPACE
    vec3 n = a_normal;
#else
    vec3 n = u_normal_matrix * a_normal;
#endif
#if NORMALIZE
    n = normalize(n);
#endif
#if LIGHT_ON
    light_at(eye.xyz / eye.w);
    float nl = dot(n, g_l);
#if SHARED_MESA_SHINE
    float anl = abs(nl);
    g_mesa_shine = pow(anl, anl);
#endif
#else
    float nl = 0.0;
#endif
    v_front = lit0(n, nl, a_colour);
#if TWO_SIDE && !FRONT_ONLY
    v_back = lit1(-n, -nl, a_colour);
#endif
#else
    v_front = clamp(a_colour, 0.0, 1.0);
#endif
#endif
}
)";

const char* const FRAGMENT_SHADER = R"(
precision highp float;
in vec4 v_front;
#if TWO_SIDE && !FRONT_ONLY
in vec4 v_back;
#endif
#if FOG
in float v_fog;
uniform vec4 u_fog_colour;
uniform vec3 u_fog_range;       // start, end, density
#endif
#if ALPHA_TEST
uniform float u_alpha_ref;
#endif
out vec4 o_colour;

void main()
{
#if TWO_SIDE && !FRONT_ONLY
    vec4 c = gl_FrontFacing ? v_front : v_back;
#else
    vec4 c = v_front;
#endif
#if FOG
#if FOG_MODE == 1
    float f = v_fog;
#elif FOG_MODE == 2
    float f = exp(-u_fog_range.z * v_fog);
#else
    float f = exp(-(u_fog_range.z * v_fog) * (u_fog_range.z * v_fog));
#endif
    c.rgb = mix(u_fog_colour.rgb, c.rgb, clamp(f, 0.0, 1.0));
#endif
#if ALPHA_TEST
    float a = c.a, r = u_alpha_ref;
#if ALPHA_FUNC == 2
    if (!(a < r)) discard;
#elif ALPHA_FUNC == 3
    if (!(a <= r)) discard;
#elif ALPHA_FUNC == 4
    if (!(a == r)) discard;
#elif ALPHA_FUNC == 5
    if (!(a >= r)) discard;
#elif ALPHA_FUNC == 6
    if (!(a > r)) discard;
#elif ALPHA_FUNC == 7
    if (!(a != r)) discard;
#else
    discard;
#endif
#endif
    o_colour = c;
}
)";

// The features of a program, as bits and fields of its key (program_key).
enum program_feature : uint32_t {
    FEATURE_WINDOW = 1u << 0, FEATURE_LIGHTING = 1u << 1, FEATURE_TWO_SIDE = 1u << 2, FEATURE_FOG = 1u << 3,
    FEATURE_ALPHA_TEST = 1u << 4, FEATURE_LIGHT_ON = 1u << 5, FEATURE_POSITIONAL = 1u << 6, FEATURE_SPOT = 1u << 7,
    FEATURE_SPOT_EXPONENT = 1u << 8, FEATURE_ATTENUATION = 1u << 9, FEATURE_LOCAL_VIEWER = 1u << 10,
    FEATURE_NORMALIZE = 1u << 11, FEATURE_SHINE0 = 1u << 12, FEATURE_SHINE1 = 1u << 13, FEATURE_EYE_SPACE = 1u << 14,
    FEATURE_FRONT_ONLY = 1u << 15,
};
// The switches' macro names, bit k of the key naming macro k.
const char* const FEATURE_NAMES[] = {"WINDOW",     "LIGHTING",      "TWO_SIDE",    "FOG",          "ALPHA_TEST",
                                     "LIGHT_ON",   "POSITIONAL",    "SPOT",        "SPOT_EXPONENT", "ATTENUATION",
                                     "LOCAL_VIEWER", "NORMALIZE",   "SHINE0",      "SHINE1",       "EYE_SPACE",
                                     "FRONT_ONLY"};
constexpr int FEATURE_BITS = 16;
// The fields above the switches: their shifts, and the macros they set.
constexpr int TRACKED0_SHIFT = 16, TRACKED1_SHIFT = 20, FOG_MODE_SHIFT = 24, ALPHA_FUNC_SHIFT = 26;
const struct {
    const char* name;
    int shift, width;
} KEY_FIELDS[] = {{"TRACKED0", TRACKED0_SHIFT, 4}, {"TRACKED1", TRACKED1_SHIFT, 4},
                  {"FOG_MODE", FOG_MODE_SHIFT, 2}, {"ALPHA_FUNC", ALPHA_FUNC_SHIFT, 3}};

constexpr double PI = 3.14159265358979323846;

enum attribute { ATTRIBUTE_POSITION = 0, ATTRIBUTE_NORMAL = 1, ATTRIBUTE_COLOUR = 2 };

enum uniform_name {
    U_MODELVIEW, U_PROJECTION, U_NORMAL_MATRIX, U_SCENE_AMBIENT, U_LIGHT, U_SPOT_DIRECTION, U_SPOT,
    U_ATTENUATION, U_MATERIAL, U_SHININESS, U_POINT_SIZE, U_FOG_COLOUR, U_FOG_RANGE, U_ALPHA_REF, UNIFORM_COUNT
};
const char* const UNIFORM_NAMES[UNIFORM_COUNT] = {
    "u_modelview", "u_projection",  "u_normal_matrix", "u_scene_ambient", "u_light",
    "u_spot_direction", "u_spot", "u_attenuation", "u_material", "u_shininess",
    "u_point_size", "u_fog_colour", "u_fog_range", "u_alpha_ref",
};

// ---------------------------------------------------------------------------
// The state of the emulated context.

using matrix = std::array<float, 16>;  // column-major, as OpenGL keeps it

constexpr matrix IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr int LIGHT_COUNT = 8;
constexpr size_t MODELVIEW_DEPTH = 32, PROJECTION_DEPTH = 4, ATTRIBUTE_DEPTH = 16;

struct light_state {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0};  // eye coordinates
    float spot_direction[3] = {0, 0, -1};
    float spot_exponent = 0, spot_cutoff = 180;
    float attenuation[3] = {1, 0, 0};
    bool enabled = false;
};

struct material_state {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0;
};

// Everything the attribute stacks save, and the state the shader reads.
struct fixed_state {
    // Emulated.
    light_state lights[LIGHT_COUNT];
    material_state material[2];  // front, back
    float scene_ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    bool lighting = false, two_side = false, local_viewer = false, normalize = false;
    bool colour_material = false;
    GLenum colour_material_face = GL_FRONT_AND_BACK, colour_material_mode = GL_AMBIENT_AND_DIFFUSE;
    bool fog = false;
    GLenum fog_mode = GL_EXP;
    float fog_colour[4] = {0, 0, 0, 0};
    float fog_start = 0, fog_end = 1, fog_density = 1;
    bool alpha_test = false;
    GLenum alpha_func = GL_ALWAYS;
    float alpha_ref = 0;
    float point_size = 1;
    GLuint list_base = 0;
    float colour[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float raster[3] = {0, 0, 0};  // window coordinates
    float raster_colour[4] = {1, 1, 1, 1};
    bool raster_valid = true;
    // Passed on, and kept for the stacks and read-backs.
    bool depth_test = false, blend = false, scissor_test = false, cull_face = false;
    float clear_colour[4] = {0, 0, 0, 0};
    GLenum blend_source = GL_ONE, blend_destination = GL_ZERO, depth_func = GL_LESS;
    GLint scissor[4] = {0, 0, 0, 0};
    GLint viewport[4] = {0, 0, 0, 0};
    float line_width = 1;
};

struct client_array {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const void* pointer = nullptr;
};

// The client state the client stacks save.
struct client_state {
    GLint unpack_alignment = 4, unpack_row_length = 0, unpack_skip_rows = 0, unpack_skip_pixels = 0;
    bool unpack_lsb_first = false;
    GLint pack_alignment = 4, pack_row_length = 0;
    client_array vertices, colours;
    client_array normals;
};

// One vertex as the shader takes it.
struct vertex_data {
    float position[4];
    float normal[3];
    float colour[4];
};

// What a run of vertices becomes: triangles, lines or points.
enum primitive_class { CLASS_NONE, CLASS_TRIANGLES, CLASS_LINES, CLASS_POINTS };

GLenum class_mode(primitive_class c)
{
    return c == CLASS_TRIANGLES ? GL_TRIANGLES : c == CLASS_LINES ? GL_LINES : GL_POINTS;
}

primitive_class class_of(GLenum mode)
{
    switch (mode) {
    case GL_POINTS: return CLASS_POINTS;
    case GL_LINES: case GL_LINE_STRIP: case GL_LINE_LOOP: return CLASS_LINES;
    default: return CLASS_TRIANGLES;
    }
}

// Appends the indices (offset by `first`) of `count` vertices sent in `mode`
// as separate triangles, lines or points. Polygons and quads are split into
// a fan from their first vertex, quad strips quad by quad along the same
// diagonal, as the desktop renderer splits them.
void append_indices(GLenum mode, uint32_t first, const uint32_t* given, size_t count, std::vector<uint32_t>& out)
{
    auto at = [&](size_t k) { return given ? given[k] : first + (uint32_t)k; };
    auto triangle = [&](size_t a, size_t b, size_t c) {
        out.push_back(at(a));
        out.push_back(at(b));
        out.push_back(at(c));
    };
    switch (mode) {
    case GL_POINTS:
        for (size_t k = 0; k < count; ++k) out.push_back(at(k));
        break;
    case GL_LINES:
        for (size_t k = 0; k + 1 < count; k += 2) {
            out.push_back(at(k));
            out.push_back(at(k + 1));
        }
        break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        for (size_t k = 0; k + 1 < count; ++k) {
            out.push_back(at(k));
            out.push_back(at(k + 1));
        }
        if (mode == GL_LINE_LOOP && count > 2) {
            out.push_back(at(count - 1));
            out.push_back(at(0));
        }
        break;
    case GL_TRIANGLES:
        for (size_t k = 0; k + 2 < count; k += 3) triangle(k, k + 1, k + 2);
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t k = 0; k + 2 < count; ++k) {
            if (k % 2 == 0)
                triangle(k, k + 1, k + 2);
            else
                triangle(k + 1, k, k + 2);
        }
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (size_t k = 1; k + 1 < count; ++k) triangle(0, k, k + 1);
        break;
    case GL_QUADS:
        for (size_t k = 0; k + 3 < count; k += 4) {
            triangle(k, k + 1, k + 2);
            triangle(k, k + 2, k + 3);
        }
        break;
    case GL_QUAD_STRIP:
        // Quad a, b, d, c of strip vertices a, b, c, d: the fan from a.
        for (size_t k = 0; k + 3 < count; k += 2) {
            triangle(k, k + 1, k + 3);
            triangle(k, k + 3, k + 2);
        }
        break;
    default:
        break;
    }
}

// A display list: its calls, and the vertices its drawing calls read.
struct display_list {
    std::vector<std::function<void()>> calls;
    // While recording; kept after the list ends for a closed shape's
    // (gather_closed), in buffers otherwise.
    std::vector<vertex_data> vertices;
    std::vector<uint32_t> indices;
    GLuint buffers[2] = {0, 0};  // vertices, indices; made when the list ends
    // The shader's inputs read from the list's buffers, with the colours
    // the list's vertices carry and without them; made when first drawn.
    GLuint arrays[2] = {0, 0};
    GLuint array_indices[2] = {0, 0};  // the index buffer bound in each of them
    // Kept after the list ends where it draws triangles, for
    // keep_covering: its vertices' positions and its indices.
    std::vector<std::array<float, 4>> positions;
    std::vector<uint32_t> triangle_indices;
    // For a list of one draw of triangles that close a volume: the faces
    // that look inwards (GL_BACK where the triangles wind counter-clockwise
    // seen from outside), which no ray from outside reaches before an
    // outward face; 0 for any other list.
    GLenum inward_faces = 0;
};

struct list_draw;
void run_list_draw(const list_draw& d);

// One drawing call of a list: a range of its indices.
struct list_draw {
    display_list* list;
    primitive_class kind;
    size_t first, count;
    bool coloured;         // the list set colours: the vertices carry them
    bool normal_set;       // the list set a normal: it is current afterwards
    float last_normal[3];
    void operator()() const { run_list_draw(*this); }
};

// One program of the emulation, built when first needed.
struct program_entry {
    GLuint program = 0;      // 0: could not be built, and is not tried again
    GLint uniforms[UNIFORM_COUNT] = {};
    // The values its uniforms were last given: a uniform is sent again only
    // when its value changes, as every call costs a trip through WebGL's
    // checks and command buffer.
    std::vector<unsigned char> sent[UNIFORM_COUNT];
};

struct context_objects {
    std::unordered_map<uint32_t, program_entry> programs;  // by key (program_key)
    program_entry* current = nullptr;                      // the program in use
    GLuint vertex_array = 0;              // the stream buffers' inputs
    GLuint bound_array = 0;               // the vertex array bound
    GLenum culled = 0;                    // the faces the context culls, 0: none (see draw_elements)
    // Buffers for the vertices and indices drawn once, each used at most
    // once between two waits for the context (glFinish, glReadPixels): a
    // buffer the renderer may still be reading is never written, which
    // would make a software renderer wait for the frame so far. Vertices
    // and indices have buffers of their own: WebGL never lets a buffer that
    // held one hold the other.
    std::vector<GLuint> stream[2];
    std::vector<size_t> stream_capacity[2];
    size_t next_stream[2] = {0, 0};
};

struct emulation {
    fixed_state state;
    client_state client;
    std::vector<fixed_state> attribute_stack;
    std::vector<GLbitfield> attribute_masks;
    std::vector<client_state> client_stack;
    std::vector<GLbitfield> client_masks;
    std::vector<matrix> modelview{IDENTITY}, projection{IDENTITY};
    GLenum matrix_mode = GL_MODELVIEW;
    // glBegin .. glEnd.
    bool inside = false;
    GLenum begun = GL_POINTS;
    std::vector<vertex_data> primitive;
    // Gathered primitives not yet drawn, all of one class.
    primitive_class pending_class = CLASS_NONE;
    bool pending_window = false;
    GLenum pending_culled = 0;  // faces culled in their draw (gather_closed)
    bool pending_untested = false;  // some not through keep_covering yet
    std::vector<vertex_data> pending_vertices;
    std::vector<uint32_t> pending_indices;
    // Display lists.
    std::unordered_map<GLuint, std::unique_ptr<display_list>> lists;
    GLuint next_list = 1;
    display_list* recording = nullptr;
    GLuint recording_name = 0;
    GLenum recording_mode = GL_COMPILE;
    bool recording_coloured = false, recording_normal_set = false;
    float saved_colour[4] = {1, 1, 1, 1}, saved_normal[3] = {0, 0, 1};
    int call_depth = 0;
    std::vector<unsigned char> read_buffer;
    context_objects gl;
} e;

matrix& current_matrix()
{
    return e.matrix_mode == GL_PROJECTION ? e.projection.back() : e.modelview.back();
}

matrix multiply(const matrix& a, const float* b)
{
    matrix r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            r[c * 4 + row] = a[0 * 4 + row] * b[c * 4 + 0] + a[1 * 4 + row] * b[c * 4 + 1] +
                             a[2 * 4 + row] * b[c * 4 + 2] + a[3 * 4 + row] * b[c * 4 + 3];
    return r;
}

void transform(const matrix& m, const float in[4], float out[4])
{
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

// The determinant of the upper 3 x 3 of `m`: below 0 where it mirrors.
double determinant_3(const matrix& m)
{
    const double a = m[0], b = m[4], c = m[8], d = m[1], f = m[5], g = m[9], h = m[2], i = m[6], k = m[10];
    return a * (f * k - g * i) - b * (d * k - g * h) + c * (d * i - f * h);
}

// The inverse transpose of the upper 3 x 3 of `m`, column-major: what takes
// normals to eye coordinates.
void normal_matrix_of(const matrix& m, float out[9])
{
    const double a = m[0], b = m[4], c = m[8], d = m[1], f = m[5], g = m[9], h = m[2], i = m[6], k = m[10];
    const double det = determinant_3(m);
    const double r = det == 0 ? 0 : 1 / det;
    // The inverse row by row, which read column by column (as OpenGL reads
    // matrices) is its transpose.
    const double inverse[9] = {
        (f * k - g * i) * r, (c * i - b * k) * r, (b * g - c * f) * r,
        (g * h - d * k) * r, (a * k - c * h) * r, (c * d - a * g) * r,
        (d * i - f * h) * r, (b * h - a * i) * r, (a * f - b * d) * r,
    };
    for (int j = 0; j < 9; ++j) out[j] = (float)inverse[j];
}

constexpr float IDENTITY_3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// ---------------------------------------------------------------------------
// Drawing.

GLuint build_program(uint32_t key, std::string& error);

// Builds the program with `key` and looks up its uniforms; null where it
// cannot be built, which is not tried again.
program_entry* make_program(uint32_t key, std::string& error)
{
    program_entry& p = e.gl.programs[key];
    p.program = build_program(key, error);
    if (!p.program) return nullptr;
    for (int k = 0; k < UNIFORM_COUNT; ++k) p.uniforms[k] = glGetUniformLocation(p.program, UNIFORM_NAMES[k]);
    return &p;
}

// The program with `key`, made if it is new (an error is told once).
program_entry* program_for(uint32_t key)
{
    const auto found = e.gl.programs.find(key);
    if (found != e.gl.programs.end()) return found->second.program ? &found->second : nullptr;
    std::string error;
    program_entry* p = make_program(key, error);
    if (!p) std::fprintf(stderr, "tarvelin: %s\n", error.c_str());
    return p;
}

// The light the shader lights with: the first one on, or null.
const light_state* light_in_use(const fixed_state& s)
{
    for (const light_state& l : s.lights)
        if (l.enabled) return &l;
    return nullptr;
}

// The colour material of face `face` (0 front, 1 back), as the shader's
// TRACKED bits: 1 ambient, 2 diffuse, 4 specular, 8 emission.
uint32_t tracked_bits(const fixed_state& s, int face)
{
    if (!s.colour_material || s.colour_material_face == (face ? GL_FRONT : GL_BACK)) return 0;
    switch (s.colour_material_mode) {
    case GL_AMBIENT: return 1;
    case GL_DIFFUSE: return 2;
    case GL_SPECULAR: return 4;
    case GL_EMISSION: return 8;
    default: return 3;
    }
}

// The key of the program for the state in use: which of the shaders' code
// a draw runs. Only what the draw uses is in it, so that states which draw
// alike share a program. `culled`: the faces the draw culls.
uint32_t program_key(const fixed_state& s, bool window, bool eye_space, GLenum culled)
{
    uint32_t key = 0;
    if (window) {
        key = FEATURE_WINDOW;
    } else {
        if (eye_space) key |= FEATURE_EYE_SPACE;
        if (s.lighting) {
            key |= FEATURE_LIGHTING;
            if (s.two_side) key |= FEATURE_TWO_SIDE;
            if (s.two_side && culled == GL_BACK) key |= FEATURE_FRONT_ONLY;
            if (s.normalize) key |= FEATURE_NORMALIZE;
            const int faces = s.two_side ? 2 : 1;
            for (int face = 0; face < faces; ++face)
                key |= tracked_bits(s, face) << (face ? TRACKED1_SHIFT : TRACKED0_SHIFT);
            if (const light_state* light = light_in_use(s)) {
                key |= FEATURE_LIGHT_ON;
                if (light->position[3] != 0) {
                    key |= FEATURE_POSITIONAL;
                    if (light->spot_cutoff != 180) {
                        key |= FEATURE_SPOT;
                        if (light->spot_exponent != 0) key |= FEATURE_SPOT_EXPONENT;
                    }
                    const float* a = light->attenuation;
                    if (a[0] != 1 || a[1] != 0 || a[2] != 0) key |= FEATURE_ATTENUATION;
                }
                if (s.local_viewer) key |= FEATURE_LOCAL_VIEWER;
                if (s.material[0].shininess != 0) key |= FEATURE_SHINE0;
                if (s.two_side && s.material[1].shininess != 0) key |= FEATURE_SHINE1;
            }
        }
        if (s.fog) {
            const uint32_t mode = s.fog_mode == GL_LINEAR ? 1 : s.fog_mode == GL_EXP ? 2 : 3;
            key |= FEATURE_FOG | mode << FOG_MODE_SHIFT;
        }
    }
    if (s.alpha_test && s.alpha_func != GL_ALWAYS) {
        uint32_t func = 0;  // an unknown function passes nothing
        switch (s.alpha_func) {
        case GL_NEVER: func = 1; break;
        case GL_LESS: func = 2; break;
        case GL_LEQUAL: func = 3; break;
        case GL_EQUAL: func = 4; break;
        case GL_GEQUAL: func = 5; break;
        case GL_GREATER: func = 6; break;
        case GL_NOTEQUAL: func = 7; break;
        default: break;
        }
        key |= FEATURE_ALPHA_TEST | func << ALPHA_FUNC_SHIFT;
    }
    return key;
}

// True where uniform `name` of the program in use is in the program and
// does not hold these `size` bytes yet; they are then noted as sent.
bool uniform_changes(uniform_name name, const void* value, size_t size)
{
    program_entry& p = *e.gl.current;
    if (p.uniforms[name] < 0) return false;
    std::vector<unsigned char>& sent = p.sent[name];
    const unsigned char* bytes = (const unsigned char*)value;
    if (sent.size() == size && std::memcmp(sent.data(), bytes, size) == 0) return false;
    sent.assign(bytes, bytes + size);
    return true;
}

GLint location(uniform_name name)
{
    return e.gl.current->uniforms[name];
}

void send_matrix4(uniform_name name, const float* m)
{
    if (uniform_changes(name, m, 16 * sizeof(float))) glUniformMatrix4fv(location(name), 1, GL_FALSE, m);
}
void send_matrix3(uniform_name name, const float* m)
{
    if (uniform_changes(name, m, 9 * sizeof(float))) glUniformMatrix3fv(location(name), 1, GL_FALSE, m);
}
// `count` values of `width` floats each.
void send_floats(uniform_name name, int width, GLsizei count, const float* v)
{
    if (!uniform_changes(name, v, (size_t)(width * count) * sizeof(float))) return;
    switch (width) {
    case 1: glUniform1fv(location(name), count, v); break;
    case 3: glUniform3fv(location(name), count, v); break;
    default: glUniform4fv(location(name), count, v); break;
    }
}

// The state into the uniforms of the program in use; `eye_space`: the
// vertices are in eye coordinates already (the model-view is the identity).
void set_uniforms(bool window, bool eye_space)
{
    const fixed_state& s = e.state;
    if (eye_space) {
        send_matrix4(U_MODELVIEW, IDENTITY.data());
        send_matrix3(U_NORMAL_MATRIX, IDENTITY_3);
    } else {
        float normal_matrix[9];
        normal_matrix_of(e.modelview.back(), normal_matrix);
        send_matrix4(U_MODELVIEW, e.modelview.back().data());
        send_matrix3(U_NORMAL_MATRIX, normal_matrix);
    }
    send_matrix4(U_PROJECTION, e.projection.back().data());
    send_floats(U_SCENE_AMBIENT, 4, 1, s.scene_ambient);
    if (const light_state* light = light_in_use(s)) {
        float values[16];
        std::memcpy(values, light->ambient, sizeof light->ambient);
        std::memcpy(values + 4, light->diffuse, sizeof light->diffuse);
        std::memcpy(values + 8, light->specular, sizeof light->specular);
        std::memcpy(values + 12, light->position, sizeof light->position);
        send_floats(U_LIGHT, 4, 4, values);
        const float* d = light->spot_direction;
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const float unit[3] = {d[0] / length, d[1] / length, d[2] / length};
        send_floats(U_SPOT_DIRECTION, 3, 1, length > 0 ? unit : d);
        const float spot[3] = {light->spot_exponent, (float)std::cos(light->spot_cutoff * PI / 180),
                               light->spot_cutoff};
        send_floats(U_SPOT, 3, 1, spot);
        send_floats(U_ATTENUATION, 3, 1, light->attenuation);
    }
    float materials[32];
    for (int face = 0; face < 2; ++face) {
        const material_state& m = s.material[face];
        std::memcpy(materials + face * 16, m.ambient, sizeof m.ambient);
        std::memcpy(materials + face * 16 + 4, m.diffuse, sizeof m.diffuse);
        std::memcpy(materials + face * 16 + 8, m.specular, sizeof m.specular);
        std::memcpy(materials + face * 16 + 12, m.emission, sizeof m.emission);
    }
    send_floats(U_MATERIAL, 4, 8, materials);
    const float shininess[2] = {s.material[0].shininess, s.material[1].shininess};
    send_floats(U_SHININESS, 1, 2, shininess);
    // Aliased points are as wide as their size rounded to a whole pixel.
    const float point_size = std::max(1.0f, std::floor(s.point_size + 0.5f));
    send_floats(U_POINT_SIZE, 1, 1, &point_size);
    send_floats(U_FOG_COLOUR, 4, 1, s.fog_colour);
    const float fog_range[3] = {s.fog_start, s.fog_end, s.fog_density};
    send_floats(U_FOG_RANGE, 3, 1, fog_range);
    send_floats(U_ALPHA_REF, 1, 1, &s.alpha_ref);
}

// The faces a draw culls: `culled` (GL_FRONT or GL_BACK) or, with 0, what
// the state culls.
GLenum faces_culled(GLenum culled)
{
    return culled ? culled : e.state.cull_face ? GL_BACK : 0;
}

// Puts the program for the state in use, and the state into its uniforms
// (`eye_space` as for set_uniforms, `culled` as for draw_elements); false
// where the program cannot be built (nothing is drawn then).
bool prepare_uniforms(bool window, bool eye_space, GLenum culled = 0)
{
    program_entry* p = program_for(program_key(e.state, window, eye_space, faces_culled(culled)));
    if (!p) return false;
    if (e.gl.current != p) {
        glUseProgram(p->program);
        e.gl.current = p;
    }
    set_uniforms(window, eye_space);
    return true;
}

// Binds vertex array `array` unless it is bound.
void use_vertex_array(GLuint array)
{
    if (e.gl.bound_array == array) return;
    glBindVertexArray(array);
    e.gl.bound_array = array;
}

// Draws `count` indices from the bound index buffer, from byte `offset`,
// culling `culled` faces (GL_FRONT or GL_BACK) or, with 0, what the state
// culls. The context's culling is changed only when a draw needs it
// otherwise, so that a run of draws of closed shapes sets it once.
void draw_elements(GLenum mode, size_t count, size_t offset, GLenum culled = 0)
{
    culled = faces_culled(culled);
    GLenum& current = e.gl.culled;
    if (culled != current) {
        if (!culled) {
            glDisable(GL_CULL_FACE);
        } else {
            if (!current) glEnable(GL_CULL_FACE);
            glCullFace(culled);
        }
        current = culled;
    }
    glDrawElements(mode, (GLsizei)count, GL_UNSIGNED_INT, (void*)offset);
}

// The most stream buffers kept; past them the first is used again.
constexpr size_t STREAM_BUFFERS = 1024;

// Binds the next stream buffer to `target` and fills it with `size` bytes.
// The buffers are kept and grow (never shrink) to the largest size asked.
void upload(GLenum target, const void* data, size_t size)
{
    context_objects& g = e.gl;
    const int pool = target == GL_ELEMENT_ARRAY_BUFFER ? 1 : 0;
    std::vector<GLuint>& stream = g.stream[pool];
    std::vector<size_t>& capacity = g.stream_capacity[pool];
    size_t& next = g.next_stream[pool];
    if (next >= STREAM_BUFFERS) next = 0;
    if (next == stream.size()) {
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        stream.push_back(buffer);
        capacity.push_back(0);
    }
    const size_t k = next++;
    glBindBuffer(target, stream[k]);
    if (size > capacity[k]) {
        capacity[k] = std::max(size, (size_t)4096);
        glBufferData(target, (GLsizeiptr)capacity[k], nullptr, GL_STREAM_DRAW);
    }
    glBufferSubData(target, 0, (GLsizeiptr)size, data);
}

// Points the shader's inputs at interleaved vertices in the bound array buffer.
void interleaved_attributes(bool colours)
{
    const GLsizei stride = sizeof(vertex_data);
    glEnableVertexAttribArray(ATTRIBUTE_POSITION);
    glVertexAttribPointer(ATTRIBUTE_POSITION, 4, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(vertex_data, position));
    glEnableVertexAttribArray(ATTRIBUTE_NORMAL);
    glVertexAttribPointer(ATTRIBUTE_NORMAL, 3, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(vertex_data, normal));
    if (colours) {
        glEnableVertexAttribArray(ATTRIBUTE_COLOUR);
        glVertexAttribPointer(ATTRIBUTE_COLOUR, 4, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(vertex_data, colour));
    } else {
        glDisableVertexAttribArray(ATTRIBUTE_COLOUR);
        glVertexAttrib4fv(ATTRIBUTE_COLOUR, e.state.colour);
    }
}

void window_point(float x, float y, float z, const float colour[4], vertex_data& v);

// Lines wider than a pixel as triangles: WebGL draws lines one pixel wide
// only. Each becomes the parallelogram OpenGL fills for a wide aliased line,
// reaching half the width to either side along the minor axis of the window,
// drawn in window coordinates with its colours as they are (the overlay's
// lines are unlit and unfogged).
void widen_lines()
{
    const int width = (int)std::floor(e.state.line_width + 0.5f);
    if (width <= 1) return;
    const matrix& p = e.projection.back();
    const GLint* vp = e.state.viewport;
    std::vector<vertex_data> quads;
    std::vector<uint32_t> indices;
    for (size_t k = 0; k + 1 < e.pending_indices.size(); k += 2) {
        float window[2][3];
        const vertex_data* ends[2] = {&e.pending_vertices[e.pending_indices[k]],
                                      &e.pending_vertices[e.pending_indices[k + 1]]};
        bool visible = true;
        for (int end = 0; end < 2; ++end) {
            float clip[4];
            transform(p, ends[end]->position, clip);  // gathered in eye coordinates
            if (clip[3] <= 0) visible = false;
            if (!visible) break;
            window[end][0] = (float)vp[0] + (clip[0] / clip[3] + 1) * 0.5f * (float)vp[2];
            window[end][1] = (float)vp[1] + (clip[1] / clip[3] + 1) * 0.5f * (float)vp[3];
            window[end][2] = (clip[2] / clip[3] + 1) * 0.5f;
        }
        if (!visible) continue;
        const bool x_major = std::fabs(window[1][0] - window[0][0]) >= std::fabs(window[1][1] - window[0][1]);
        const float half = (float)width / 2;
        const uint32_t first = (uint32_t)quads.size();
        for (int end = 0; end < 2; ++end)
            for (int side = -1; side <= 1; side += 2) {
                float colour[4];
                for (int c = 0; c < 4; ++c) colour[c] = std::min(1.0f, std::max(0.0f, ends[end]->colour[c]));
                vertex_data v;
                window_point(window[end][0] + (x_major ? 0 : side * half), window[end][1] + (x_major ? side * half : 0),
                             window[end][2], colour, v);
                quads.push_back(v);
            }
        for (uint32_t corner : {0u, 1u, 3u, 0u, 3u, 2u}) indices.push_back(first + corner);
    }
    e.pending_vertices.swap(quads);
    e.pending_indices.swap(indices);
    e.pending_class = CLASS_TRIANGLES;
    e.pending_window = true;
}

// Triangle draws of fewer indices are drawn as they are.
constexpr size_t COVERING_TEST_MIN = 96;

// Whether the triangle a, b, c (window coordinates) faces `face` (GL_FRONT:
// counter-clockwise) by a margin no rounding of the renderer's can undo: it
// stands more than a quarter of a pixel high over its longest edge.
bool surely_facing(const std::array<float, 2>& a, const std::array<float, 2>& b, const std::array<float, 2>& c,
                   GLenum face)
{
    const double abx = (double)b[0] - a[0], aby = (double)b[1] - a[1];
    const double acx = (double)c[0] - a[0], acy = (double)c[1] - a[1];
    const double bcx = (double)c[0] - b[0], bcy = (double)c[1] - b[1];
    const double twice_area = abx * acy - acx * aby;
    const double side = face == GL_FRONT ? twice_area : -twice_area;
    // side > 0.25 * longest edge, squared.
    const double longest2 = std::max({abx * abx + aby * aby, acx * acx + acy * acy, bcx * bcx + bcy * bcy});
    return side > 0 && side * side > 0.0625 * longest2;
}

// The triangles `in` (`count` indices, whose vertices in clip coordinates
// are `clip`) that may cover a pixel centre of the viewport, into `out`.
// The rest (the spheres of small bubbles have hundreds of triangles less
// than a pixel across, and many a draw lies partly outside the picture)
// cannot give a fragment: leaving them out changes no pixel, and a software
// renderer spends on every triangle, drawn or not, what it spends on dozens
// of pixels. The test is generous by an eighth of a pixel, for the
// renderer's own rounding; a triangle with a vertex at or behind the eye is
// kept. With `culled` GL_BACK or GL_FRONT, triangles facing that way in the
// window are left out too where the renderer would cull them whatever its
// rounding (surely_facing).
void keep_covering(const std::vector<std::array<float, 4>>& clip, const uint32_t* in, size_t count,
                   std::vector<uint32_t>& out, GLenum culled = 0)
{
    const GLint* vp = e.state.viewport;
    constexpr float MARGIN = 0.125f;
    // Window coordinates, NaN for a vertex at or behind the eye. The
    // buffer is kept from call to call: this runs for every list drawn.
    static std::vector<std::array<float, 2>> window;
    window.resize(clip.size());
    const float NOT_KNOWN = std::numeric_limits<float>::quiet_NaN();
    for (size_t v = 0; v < clip.size(); ++v) {
        const std::array<float, 4>& c = clip[v];
        const float x = c[0] / c[3], y = c[1] / c[3];
        if (c[3] > 0 && std::isfinite(x) && std::isfinite(y))
            window[v] = {(float)vp[0] + (x + 1) * 0.5f * (float)vp[2], (float)vp[1] + (y + 1) * 0.5f * (float)vp[3]};
        else
            window[v] = {NOT_KNOWN, NOT_KNOWN};
    }
    // The pixel centres k + 0.5 in [low, high] within [start, start + size]:
    // the first k and the last.
    auto centres_between = [](float low, float high, int start, int size, float& first, float& last) {
        low = std::max(low - MARGIN, (float)start);
        high = std::min(high + MARGIN, (float)(start + size));
        first = std::ceil(low - 0.5f);
        last = std::floor(high - 0.5f);
        return last >= first;
    };
    // Whether a pixel centre lies within the triangle `corner` or within
    // MARGIN of it: within MARGIN of the inner side of each edge.
    auto near_a_centre = [](const std::array<float, 2>* corner, float first_x, float last_x, float first_y,
                            float last_y) {
        const double area = ((double)corner[1][0] - corner[0][0]) * ((double)corner[2][1] - corner[0][1]) -
                            ((double)corner[2][0] - corner[0][0]) * ((double)corner[1][1] - corner[0][1]);
        if (std::fabs(area) < 1e-6) return true;
        const double inward = area > 0 ? 1 : -1;
        double ex[3], ey[3], reach[3];
        for (int k = 0; k < 3; ++k) {
            const std::array<float, 2>& a = corner[k];
            const std::array<float, 2>& b = corner[(k + 1) % 3];
            ex[k] = ((double)b[0] - a[0]) * inward;
            ey[k] = ((double)b[1] - a[1]) * inward;
            reach[k] = (double)MARGIN * MARGIN * (ex[k] * ex[k] + ey[k] * ey[k]);
        }
        for (float y = first_y; y <= last_y; ++y)
            for (float x = first_x; x <= last_x; ++x) {
                const double px = x + 0.5f, py = y + 0.5f;
                bool within = true;
                for (int k = 0; k < 3 && within; ++k) {
                    // side < -MARGIN * edge length, squared, is beyond the margin.
                    const double side = ex[k] * (py - corner[k][1]) - ey[k] * (px - corner[k][0]);
                    within = !(side < 0 && side * side > reach[k]);
                }
                if (within) return true;
            }
        return false;
    };
    out.reserve(out.size() + count);
    for (size_t t = 0; t + 2 < count; t += 3) {
        const uint32_t a = in[t], b = in[t + 1], c = in[t + 2];
        const std::array<float, 2>& wa = window[a];
        const std::array<float, 2>& wb = window[b];
        const std::array<float, 2>& wc = window[c];
        if (!std::isnan(wa[0]) && !std::isnan(wb[0]) && !std::isnan(wc[0])) {
            if (culled && surely_facing(wa, wb, wc, culled)) continue;
            const float x0 = std::min({wa[0], wb[0], wc[0]});
            const float x1 = std::max({wa[0], wb[0], wc[0]});
            const float y0 = std::min({wa[1], wb[1], wc[1]});
            const float y1 = std::max({wa[1], wb[1], wc[1]});
            float first_x, last_x, first_y, last_y;
            if (!centres_between(x0, x1, vp[0], vp[2], first_x, last_x) ||
                !centres_between(y0, y1, vp[1], vp[3], first_y, last_y))
                continue;
            // A triangle over a few pixel centres at most: does it come near one?
            if ((last_x - first_x + 1) * (last_y - first_y + 1) <= 4) {
                const std::array<float, 2> corner[3] = {wa, wb, wc};
                if (!near_a_centre(corner, first_x, last_x, first_y, last_y)) continue;
            }
        }
        out.push_back(a);
        out.push_back(b);
        out.push_back(c);
    }
}

// Draws the gathered primitives.
void flush()
{
    if (e.pending_class == CLASS_NONE) return;
    if (e.pending_class == CLASS_LINES && !e.pending_window) widen_lines();
    if (e.pending_class == CLASS_TRIANGLES && !e.pending_window && e.pending_untested &&
        e.pending_indices.size() >= COVERING_TEST_MIN) {
        std::vector<std::array<float, 4>> clip(e.pending_vertices.size());
        for (size_t v = 0; v < clip.size(); ++v) transform(e.projection.back(), e.pending_vertices[v].position, clip[v].data());
        std::vector<uint32_t> kept;
        keep_covering(clip, e.pending_indices.data(), e.pending_indices.size(), kept);
        e.pending_indices.swap(kept);
    }
    if (!e.pending_indices.empty() && prepare_uniforms(e.pending_window, true, e.pending_culled)) {
        use_vertex_array(e.gl.vertex_array);
        upload(GL_ARRAY_BUFFER, e.pending_vertices.data(), e.pending_vertices.size() * sizeof(vertex_data));
        interleaved_attributes(true);
        upload(GL_ELEMENT_ARRAY_BUFFER, e.pending_indices.data(), e.pending_indices.size() * sizeof(uint32_t));
        draw_elements(class_mode(e.pending_class), e.pending_indices.size(), 0, e.pending_culled);
    }
    e.pending_class = CLASS_NONE;
    e.pending_culled = 0;
    e.pending_untested = false;
    e.pending_vertices.clear();
    e.pending_indices.clear();
}

// Before any change of the state the gathered primitives were drawn with.
void state_changes()
{
    flush();
}

// Before a change of the current matrix: the gathered primitives are in eye
// coordinates, and only the projection matrix was used to draw them.
void matrix_changes()
{
    if (e.matrix_mode == GL_PROJECTION) state_changes();
}
// Vertex `v`'s position and normal into eye coordinates, under model-view
// `mv` whose normal matrix is `n`.
void to_eye_space(const matrix& mv, const float n[9], vertex_data& v)
{
    const float object[4] = {v.position[0], v.position[1], v.position[2], v.position[3]};
    transform(mv, object, v.position);
    const float x = v.normal[0], y = v.normal[1], z = v.normal[2];
    for (int row = 0; row < 3; ++row) v.normal[row] = n[row] * x + n[3 + row] * y + n[6 + row] * z;
}

// Adds primitives to the gathered ones, drawing those first if they are of
// another kind. Vertices not in window coordinates are gathered in eye
// coordinates, normals too, so that a change of the model-view matrix need
// not draw what was gathered before it.
void gather(GLenum mode, const vertex_data* vertices, size_t count, bool window)
{
    const primitive_class kind = class_of(mode);
    if (e.pending_class != kind || e.pending_window != window || e.pending_culled) {
        flush();
        e.pending_class = kind;
        e.pending_window = window;
    }
    e.pending_untested = true;
    const uint32_t first = (uint32_t)e.pending_vertices.size();
    e.pending_vertices.insert(e.pending_vertices.end(), vertices, vertices + count);
    if (!window) {
        const matrix& mv = e.modelview.back();
        float n[9];
        normal_matrix_of(mv, n);
        for (size_t k = first; k < e.pending_vertices.size(); ++k) to_eye_space(mv, n, e.pending_vertices[k]);
    }
    append_indices(mode, first, nullptr, count, e.pending_indices);
}

// The triangles `kept` of a closed list's draw join the gathered primitives,
// with the vertices they use in eye coordinates, to be drawn culling their
// inward faces `culled`: the draws of many small closed shapes (a sphere for
// each bubble) in one state become one draw call, and a software renderer
// spends on each draw call what it spends on hundreds of vertices.
void gather_closed(const list_draw& d, const std::vector<uint32_t>& kept, GLenum culled)
{
    const display_list& l = *d.list;
    if (e.pending_class != CLASS_TRIANGLES || e.pending_window || e.pending_culled != culled) {
        flush();
        e.pending_class = CLASS_TRIANGLES;
        e.pending_window = false;
        e.pending_culled = culled;
    }
    const matrix& mv = e.modelview.back();
    float n[9];
    normal_matrix_of(mv, n);
    constexpr uint32_t UNSENT = UINT32_MAX;
    std::vector<uint32_t> sent(l.vertices.size(), UNSENT);  // a list vertex's place among the gathered
    for (const uint32_t k : kept) {
        if (sent[k] == UNSENT) {
            vertex_data v = l.vertices[k];
            to_eye_space(mv, n, v);
            if (!d.coloured) std::memcpy(v.colour, e.state.colour, sizeof v.colour);
            sent[k] = (uint32_t)e.pending_vertices.size();
            e.pending_vertices.push_back(v);
        }
        e.pending_indices.push_back(sent[k]);
    }
}

// The inward faces of a list's triangles (see display_list), found from
// their positions: each edge must be met once in each direction, as in a
// closed surface, and the sign of the enclosed volume tells which way the
// triangles wind. Positions are compared on a grid of a 2^-16th of the
// list's size, so that a seam a rounding wide still closes.
GLenum inward_faces_of(const display_list& l)
{
    const list_draw* only = nullptr;
    for (const auto& call : l.calls)
        if (const list_draw* d = call.target<list_draw>()) {
            if (only) return 0;
            only = d;
        }
    if (!only || only->kind != CLASS_TRIANGLES || only->count < 12) return 0;
    std::vector<std::array<double, 3>> points(l.positions.size());
    double size = 0;
    for (size_t v = 0; v < points.size(); ++v) {
        const std::array<float, 4>& p = l.positions[v];
        if (p[3] == 0) return 0;
        for (int c = 0; c < 3; ++c) {
            points[v][c] = (double)p[c] / p[3];
            size = std::max(size, std::fabs(points[v][c]));
        }
    }
    if (!(size > 0) || !std::isfinite(size)) return 0;
    const double grid = 65536 / size;
    using point = std::array<long long, 3>;
    auto on_grid = [&](uint32_t v) {
        return point{std::llround(points[v][0] * grid), std::llround(points[v][1] * grid), std::llround(points[v][2] * grid)};
    };
    std::map<std::pair<point, point>, int> edges;  // +1 for each edge a -> b, -1 for each b -> a
    double volume = 0;
    for (size_t t = only->first; t + 2 < only->first + only->count; t += 3) {
        const uint32_t corner[3] = {l.triangle_indices[t], l.triangle_indices[t + 1], l.triangle_indices[t + 2]};
        const point q[3] = {on_grid(corner[0]), on_grid(corner[1]), on_grid(corner[2])};
        if (q[0] == q[1] || q[1] == q[2] || q[2] == q[0]) continue;  // covers nothing
        for (int k = 0; k < 3; ++k) {
            const point& a = q[k];
            const point& b = q[(k + 1) % 3];
            edges[a < b ? std::make_pair(a, b) : std::make_pair(b, a)] += a < b ? 1 : -1;
        }
        const std::array<double, 3>& a = points[corner[0]];
        const std::array<double, 3>& b = points[corner[1]];
        const std::array<double, 3>& c = points[corner[2]];
        volume += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    if (edges.empty()) return 0;
    for (const auto& edge : edges)
        if (edge.second != 0) return 0;
    return volume > 0 ? GL_BACK : volume < 0 ? GL_FRONT : 0;
}

// Whether the inward faces of a closed list can be left out of this draw:
// nothing would show them (depth-tested, opaque, no fragment discarded),
// every vertex lies beyond the near plane (so the eye is outside and the
// near plane cuts nothing open), and the matrices keep the triangles'
// winding in the window.
bool inward_faces_hidden(const display_list& l, const std::vector<std::array<float, 4>>& clip)
{
    const fixed_state& s = e.state;
    if (!l.inward_faces || s.cull_face || !s.depth_test || s.blend || (s.alpha_test && s.alpha_func != GL_ALWAYS))
        return false;
    const matrix& p = e.projection.back();
    if (!(determinant_3(e.modelview.back()) > 0) || !(p[0] > 0) || !(p[5] > 0)) return false;
    for (const std::array<float, 4>& c : clip)
        if (!(c[3] > 0) || !(c[2] > -c[3])) return false;
    return true;
}

// Draws a list's triangles `kept` (with `tested`; all of the draw's
// otherwise) from its buffers.
void draw_from_list(const list_draw& d, bool tested, const std::vector<uint32_t>& kept)
{
    flush();
    if (!prepare_uniforms(false, false)) return;
    GLuint& array = d.list->arrays[d.coloured ? 1 : 0];
    GLuint& array_indices = d.list->array_indices[d.coloured ? 1 : 0];
    if (!array) {
        glGenVertexArrays(1, &array);
        use_vertex_array(array);
        glBindBuffer(GL_ARRAY_BUFFER, d.list->buffers[0]);
        interleaved_attributes(d.coloured);
    }
    use_vertex_array(array);
    // The list's own indices, unless the array holds them already.
    auto own_indices = [&] {
        if (array_indices == d.list->buffers[1]) return;
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, d.list->buffers[1]);
        array_indices = d.list->buffers[1];
    };
    if (!d.coloured) glVertexAttrib4fv(ATTRIBUTE_COLOUR, e.state.colour);
    if (!tested) {
        own_indices();
        draw_elements(class_mode(d.kind), d.count, d.first * sizeof(uint32_t));
        return;
    }
    if (kept.empty()) return;
    if (kept.size() == d.count) {  // none left out: from the list's own indices
        own_indices();
        draw_elements(GL_TRIANGLES, kept.size(), d.first * sizeof(uint32_t));
    } else {
        upload(GL_ELEMENT_ARRAY_BUFFER, kept.data(), kept.size() * sizeof(uint32_t));
        array_indices = 0;  // a stream buffer
        draw_elements(GL_TRIANGLES, kept.size(), 0);
    }
}

void run_list_draw(const list_draw& d)
{
    const display_list& l = *d.list;
    // Only the triangles that may cover a pixel.
    const bool tested = d.kind == CLASS_TRIANGLES && d.count >= COVERING_TEST_MIN && !l.triangle_indices.empty();
    std::vector<uint32_t> kept;
    GLenum culled = 0;
    if (tested) {
        const matrix mvp = multiply(e.projection.back(), e.modelview.back().data());
        std::vector<std::array<float, 4>> clip(l.positions.size());
        for (size_t v = 0; v < clip.size(); ++v) transform(mvp, l.positions[v].data(), clip[v].data());
        // A closed shape seen from outside: its inward faces lie behind its
        // outward ones. Those that surely face away are left out here, and
        // the renderer culls the rest as it would have culled them all.
        if (inward_faces_hidden(l, clip)) culled = l.inward_faces;
        keep_covering(clip, &l.triangle_indices[d.first], d.count, kept, culled);
    }
    if (culled)
        gather_closed(d, kept, culled);
    else
        draw_from_list(d, tested, kept);
    if (d.normal_set) std::memcpy(e.state.normal, d.last_normal, sizeof d.last_normal);
}

// Vertices a list sends more than once (a sphere sent as separate triangles
// sends each of its points up to six times) kept once, the indices pointing
// at the one kept: the renderer then lights each point once. Only vertices
// equal to the bit are merged, so what is drawn is the same.
void merge_equal_vertices(display_list& l)
{
    // Keyed by the vertex's bytes, which are all its floats (no padding).
    static_assert(sizeof(vertex_data) == 11 * sizeof(float), "a vertex is its floats alone");
    std::unordered_map<std::string, uint32_t> kept;
    std::vector<vertex_data> merged;
    std::vector<uint32_t> index_of(l.vertices.size());
    for (size_t k = 0; k < l.vertices.size(); ++k) {
        const std::string key(reinterpret_cast<const char*>(&l.vertices[k]), sizeof(vertex_data));
        const auto found = kept.emplace(key, (uint32_t)merged.size());
        if (found.second) merged.push_back(l.vertices[k]);
        index_of[k] = found.first->second;
    }
    for (uint32_t& index : l.indices) index = index_of[index];
    l.vertices.swap(merged);
}

// A primitive sent inside glNewList .. glEndList: its vertices into the
// list, drawn with those of the primitive before if nothing came between.
void record_primitive(GLenum mode, const std::vector<vertex_data>& vertices)
{
    display_list& l = *e.recording;
    const primitive_class kind = class_of(mode);
    const uint32_t first = (uint32_t)l.vertices.size();
    l.vertices.insert(l.vertices.end(), vertices.begin(), vertices.end());
    const size_t before = l.indices.size();
    append_indices(mode, first, nullptr, vertices.size(), l.indices);
    list_draw* last = l.calls.empty() ? nullptr : l.calls.back().target<list_draw>();
    if (last && last->kind == kind && last->first + last->count == before && last->coloured == e.recording_coloured) {
        last->count = l.indices.size() - last->first;
    } else {
        l.calls.emplace_back(list_draw{&l, kind, before, l.indices.size() - before, e.recording_coloured, false, {}});
        last = l.calls.back().target<list_draw>();
    }
    last->normal_set = last->normal_set || e.recording_normal_set;
    std::memcpy(last->last_normal, e.state.normal, sizeof last->last_normal);
}

// Notes `call` in the list being recorded; false when none is.
bool recorded(std::function<void()> call)
{
    if (!e.recording) return false;
    e.recording->calls.push_back(std::move(call));
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// The entry points.

#define RECORD(...)                                      \
    do {                                                 \
        if (recorded([=] { __VA_ARGS__; })) return;      \
    } while (0)

void set_colour(float r, float g, float b, float a)
{
    if (e.recording && !e.inside) {
        e.recording->calls.push_back([=] { set_colour(r, g, b, a); });
    }
    if (e.recording) e.recording_coloured = true;
    float* c = e.state.colour;
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
    if (e.state.colour_material && !e.recording) {
        // The material follows the colour, as it will once the colour material is off.
        for (int face = 0; face < 2; ++face) {
            if ((face == 0 && e.state.colour_material_face == GL_BACK) ||
                (face == 1 && e.state.colour_material_face == GL_FRONT))
                continue;
            material_state& m = e.state.material[face];
            switch (e.state.colour_material_mode) {
            case GL_AMBIENT: std::memcpy(m.ambient, c, 16); break;
            case GL_DIFFUSE: std::memcpy(m.diffuse, c, 16); break;
            case GL_SPECULAR: std::memcpy(m.specular, c, 16); break;
            case GL_EMISSION: std::memcpy(m.emission, c, 16); break;
            default:
                std::memcpy(m.ambient, c, 16);
                std::memcpy(m.diffuse, c, 16);
                break;
            }
        }
    }
}

void normal(float x, float y, float z)
{
    if (e.recording && !e.inside) e.recording->calls.push_back([=] { normal(x, y, z); });
    if (e.recording) e.recording_normal_set = true;
    e.state.normal[0] = x;
    e.state.normal[1] = y;
    e.state.normal[2] = z;
}

void vertex(float x, float y, float z)
{
    if (!e.inside) return;
    vertex_data v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    v.position[3] = 1;
    std::memcpy(v.normal, e.state.normal, sizeof v.normal);
    std::memcpy(v.colour, e.state.colour, sizeof v.colour);
    e.primitive.push_back(v);
}

void begin(GLenum mode)
{
    e.inside = true;
    e.begun = mode;
    e.primitive.clear();
}

void end()
{
    if (!e.inside) return;
    e.inside = false;
    if (e.recording)
        record_primitive(e.begun, e.primitive);
    else
        gather(e.begun, e.primitive.data(), e.primitive.size(), false);
}

void multiply_matrix(const float m[16])
{
    std::array<float, 16> copy;
    std::memcpy(copy.data(), m, sizeof copy);
    RECORD(multiply_matrix(copy.data()));
    matrix_changes();
    current_matrix() = multiply(current_matrix(), copy.data());
}

void translate(double x, double y, double z)
{
    RECORD(translate(x, y, z));
    matrix_changes();
    matrix& m = current_matrix();
    const float fx = (float)x, fy = (float)y, fz = (float)z;
    for (int row = 0; row < 4; ++row) m[12 + row] = m[row] * fx + m[4 + row] * fy + m[8 + row] * fz + m[12 + row];
}

void rotate(double angle, double x, double y, double z)
{
    RECORD(rotate(angle, x, y, z));
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length;
    y /= length;
    z /= length;
    const double radians = angle * PI / 180, c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    const float r[16] = {
        (float)(x * x * t + c),     (float)(y * x * t + z * s), (float)(x * z * t - y * s), 0,
        (float)(x * y * t - z * s), (float)(y * y * t + c),     (float)(y * z * t + x * s), 0,
        (float)(x * z * t + y * s), (float)(y * z * t - x * s), (float)(z * z * t + c),     0,
        0,                          0,                          0,                          1,
    };
    multiply_matrix(r);
}

void push_matrix()
{
    RECORD(push_matrix());
    std::vector<matrix>& stack = e.matrix_mode == GL_PROJECTION ? e.projection : e.modelview;
    if (stack.size() < (e.matrix_mode == GL_PROJECTION ? PROJECTION_DEPTH : MODELVIEW_DEPTH))
        stack.push_back(stack.back());
}

void pop_matrix()
{
    RECORD(pop_matrix());
    std::vector<matrix>& stack = e.matrix_mode == GL_PROJECTION ? e.projection : e.modelview;
    if (stack.size() < 2) return;
    matrix_changes();
    stack.pop_back();
}


namespace {

// The window position of a one-pixel point, as clip coordinates of the current viewport.
void window_point(float x, float y, float z, const float colour[4], vertex_data& v)
{
    const GLint* vp = e.state.viewport;
    v.position[0] = 2 * (x - (float)vp[0]) / (float)std::max(vp[2], 1) - 1;
    v.position[1] = 2 * (y - (float)vp[1]) / (float)std::max(vp[3], 1) - 1;
    v.position[2] = 2 * z - 1;
    v.position[3] = 1;
    v.normal[0] = v.normal[1] = 0;
    v.normal[2] = 1;
    std::memcpy(v.colour, colour, sizeof v.colour);
}

// A bitmap of rows bottom first, each (width + 7) / 8 bytes, most significant bit first.
void draw_bitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove,
                 const unsigned char* bits)
{
    fixed_state& s = e.state;
    if (!s.raster_valid) return;
    if (bits && width > 0 && height > 0) {
        const int x0 = (int)std::floor(s.raster[0] - xorig), y0 = (int)std::floor(s.raster[1] - yorig);
        const size_t row_bytes = (size_t)(width + 7) / 8;
        std::vector<vertex_data>& points = e.primitive;
        points.clear();
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                if (bits[(size_t)r * row_bytes + (size_t)c / 8] & (0x80 >> (c % 8))) {
                    vertex_data v;
                    window_point((float)(x0 + c) + 0.5f, (float)(y0 + r) + 0.5f, s.raster[2], s.raster_colour, v);
                    points.push_back(v);
                }
        gather(GL_POINTS, points.data(), points.size(), true);
        points.clear();
    }
    s.raster[0] += xmove;
    s.raster[1] += ymove;
}

void call_list(GLuint name)
{
    const auto found = e.lists.find(name);
    if (found == e.lists.end() || e.call_depth >= 64) return;
    ++e.call_depth;
    for (const std::function<void()>& call : found->second->calls) call();
    --e.call_depth;
}

void delete_list_buffers(display_list& l)
{
    if (l.buffers[0]) glDeleteBuffers(2, l.buffers);
    l.buffers[0] = l.buffers[1] = 0;
    for (GLuint& array : l.arrays) {
        if (array && e.gl.bound_array == array) use_vertex_array(e.gl.vertex_array);
        if (array) glDeleteVertexArrays(1, &array);
        array = 0;
    }
    l.array_indices[0] = l.array_indices[1] = 0;
}

// The context's state from the tracked values, after an attribute stack pop.
void apply_passed_state()
{
    const fixed_state& s = e.state;
    s.depth_test ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    s.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    s.scissor_test ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
    glBlendFunc(s.blend_source, s.blend_destination);
    glDepthFunc(s.depth_func);
    glClearColor(s.clear_colour[0], s.clear_colour[1], s.clear_colour[2], s.clear_colour[3]);
    glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
}

void set_capability(GLenum cap, bool on)
{
    RECORD(set_capability(cap, on));
    state_changes();
    fixed_state& s = e.state;
    switch (cap) {
    case GL_LIGHTING: s.lighting = on; return;
    case GL_FOG: s.fog = on; return;
    case GL_ALPHA_TEST: s.alpha_test = on; return;
    case GL_NORMALIZE: s.normalize = on; return;
    case GL_COLOR_MATERIAL:
        s.colour_material = on;
        if (on) set_colour(s.colour[0], s.colour[1], s.colour[2], s.colour[3]);
        return;
    case GL_POINT_SMOOTH: case GL_LINE_SMOOTH: case GL_POLYGON_SMOOTH: case GL_TEXTURE_2D: return;
    case GL_DEPTH_TEST: s.depth_test = on; break;
    case GL_BLEND: s.blend = on; break;
    case GL_SCISSOR_TEST: s.scissor_test = on; break;
    case GL_CULL_FACE: s.cull_face = on; return;  // set for each draw (draw_elements)
    default:
        if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + LIGHT_COUNT) {
            s.lights[cap - GL_LIGHT0].enabled = on;
            return;
        }
        break;
    }
    on ? glEnable(cap) : glDisable(cap);
}

// The entry points of the table, with OpenGL 1.1's signatures.

void TARVELIN_GL_CALL emu_glBegin(GLenum mode) { begin(mode); }
void TARVELIN_GL_CALL emu_glEnd() { end(); }
void TARVELIN_GL_CALL emu_glVertex2f(GLfloat x, GLfloat y) { vertex(x, y, 0); }
void TARVELIN_GL_CALL emu_glVertex2d(GLdouble x, GLdouble y) { vertex((float)x, (float)y, 0); }
void TARVELIN_GL_CALL emu_glVertex3f(GLfloat x, GLfloat y, GLfloat z) { vertex(x, y, z); }
void TARVELIN_GL_CALL emu_glVertex3d(GLdouble x, GLdouble y, GLdouble z) { vertex((float)x, (float)y, (float)z); }
void TARVELIN_GL_CALL emu_glVertex3fv(const GLfloat* v) { vertex(v[0], v[1], v[2]); }
void TARVELIN_GL_CALL emu_glNormal3f(GLfloat x, GLfloat y, GLfloat z) { normal(x, y, z); }
void TARVELIN_GL_CALL emu_glNormal3fv(const GLfloat* v) { normal(v[0], v[1], v[2]); }
void TARVELIN_GL_CALL emu_glColor3d(GLdouble r, GLdouble g, GLdouble b) { set_colour((float)r, (float)g, (float)b, 1); }
void TARVELIN_GL_CALL emu_glColor3f(GLfloat r, GLfloat g, GLfloat b) { set_colour(r, g, b, 1); }
void TARVELIN_GL_CALL emu_glColor3fv(const GLfloat* v) { set_colour(v[0], v[1], v[2], 1); }
void TARVELIN_GL_CALL emu_glColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a)
{
    set_colour((float)r, (float)g, (float)b, (float)a);
}
void TARVELIN_GL_CALL emu_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { set_colour(r, g, b, a); }

void TARVELIN_GL_CALL emu_glMatrixMode(GLenum mode)
{
    RECORD(emu_glMatrixMode(mode));
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) e.matrix_mode = mode;
}
void TARVELIN_GL_CALL emu_glPushMatrix() { push_matrix(); }
void TARVELIN_GL_CALL emu_glPopMatrix() { pop_matrix(); }
void TARVELIN_GL_CALL emu_glLoadIdentity()
{
    RECORD(emu_glLoadIdentity());
    matrix_changes();
    current_matrix() = IDENTITY;
}
void TARVELIN_GL_CALL emu_glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) { rotate(angle, x, y, z); }
void TARVELIN_GL_CALL emu_glTranslated(GLdouble x, GLdouble y, GLdouble z) { translate(x, y, z); }
void TARVELIN_GL_CALL emu_glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    if (l == r || b == t || n == f) return;
    const float m[16] = {(float)(2 / (r - l)), 0, 0, 0, 0, (float)(2 / (t - b)), 0, 0, 0, 0, (float)(-2 / (f - n)), 0,
                         (float)(-(r + l) / (r - l)), (float)(-(t + b) / (t - b)), (float)(-(f + n) / (f - n)), 1};
    multiply_matrix(m);
}

void TARVELIN_GL_CALL emu_glEnable(GLenum cap) { set_capability(cap, true); }
void TARVELIN_GL_CALL emu_glDisable(GLenum cap) { set_capability(cap, false); }
GLboolean TARVELIN_GL_CALL emu_glIsEnabled(GLenum cap)
{
    const fixed_state& s = e.state;
    switch (cap) {
    case GL_LIGHTING: return s.lighting;
    case GL_FOG: return s.fog;
    case GL_ALPHA_TEST: return s.alpha_test;
    case GL_NORMALIZE: return s.normalize;
    case GL_COLOR_MATERIAL: return s.colour_material;
    case GL_DEPTH_TEST: return s.depth_test;
    case GL_BLEND: return s.blend;
    case GL_SCISSOR_TEST: return s.scissor_test;
    case GL_CULL_FACE: return s.cull_face;
    case GL_VERTEX_ARRAY: return e.client.vertices.enabled;
    case GL_COLOR_ARRAY: return e.client.colours.enabled;
    case GL_NORMAL_ARRAY: return e.client.normals.enabled;
    default:
        if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + LIGHT_COUNT) return s.lights[cap - GL_LIGHT0].enabled;
        return glIsEnabled(cap);
    }
}

void set_light(GLenum light, GLenum pname, std::array<float, 4> p)
{
    RECORD(set_light(light, pname, p));
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + LIGHT_COUNT) return;
    state_changes();
    light_state& l = e.state.lights[light - GL_LIGHT0];
    const matrix& mv = e.modelview.back();
    switch (pname) {
    case GL_AMBIENT: std::memcpy(l.ambient, p.data(), 16); break;
    case GL_DIFFUSE: std::memcpy(l.diffuse, p.data(), 16); break;
    case GL_SPECULAR: std::memcpy(l.specular, p.data(), 16); break;
    case GL_POSITION: transform(mv, p.data(), l.position); break;
    case GL_SPOT_DIRECTION:
        for (int row = 0; row < 3; ++row)
            l.spot_direction[row] = mv[row] * p[0] + mv[4 + row] * p[1] + mv[8 + row] * p[2];
        break;
    case GL_SPOT_EXPONENT: l.spot_exponent = p[0]; break;
    case GL_SPOT_CUTOFF: l.spot_cutoff = p[0]; break;
    case GL_CONSTANT_ATTENUATION: l.attenuation[0] = p[0]; break;
    case GL_LINEAR_ATTENUATION: l.attenuation[1] = p[0]; break;
    case GL_QUADRATIC_ATTENUATION: l.attenuation[2] = p[0]; break;
    default: break;
    }
}

std::array<float, 4> four(GLenum pname, const GLfloat* params)
{
    std::array<float, 4> p = {0, 0, 0, 0};
    const bool vector = pname == GL_AMBIENT || pname == GL_DIFFUSE || pname == GL_SPECULAR || pname == GL_POSITION ||
                        pname == GL_EMISSION || pname == GL_AMBIENT_AND_DIFFUSE || pname == GL_FOG_COLOR ||
                        pname == GL_LIGHT_MODEL_AMBIENT;
    const int n = pname == GL_SPOT_DIRECTION ? 3 : vector ? 4 : 1;
    for (int k = 0; k < n; ++k) p[(size_t)k] = params[k];
    return p;
}

void TARVELIN_GL_CALL emu_glLightf(GLenum light, GLenum pname, GLfloat param)
{
    set_light(light, pname, {param, 0, 0, 0});
}
void TARVELIN_GL_CALL emu_glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    set_light(light, pname, four(pname, params));
}
void TARVELIN_GL_CALL emu_glLightModeli(GLenum pname, GLint param)
{
    RECORD(emu_glLightModeli(pname, param));
    state_changes();
    if (pname == GL_LIGHT_MODEL_TWO_SIDE) e.state.two_side = param != 0;
    if (pname == GL_LIGHT_MODEL_LOCAL_VIEWER) e.state.local_viewer = param != 0;
}

void set_material(GLenum face, GLenum pname, std::array<float, 4> p)
{
    RECORD(set_material(face, pname, p));
    state_changes();
    for (int k = 0; k < 2; ++k) {
        if ((k == 0 && face == GL_BACK) || (k == 1 && face == GL_FRONT)) continue;
        material_state& m = e.state.material[k];
        switch (pname) {
        case GL_AMBIENT: std::memcpy(m.ambient, p.data(), 16); break;
        case GL_DIFFUSE: std::memcpy(m.diffuse, p.data(), 16); break;
        case GL_SPECULAR: std::memcpy(m.specular, p.data(), 16); break;
        case GL_EMISSION: std::memcpy(m.emission, p.data(), 16); break;
        case GL_SHININESS: m.shininess = p[0]; break;
        case GL_AMBIENT_AND_DIFFUSE:
            std::memcpy(m.ambient, p.data(), 16);
            std::memcpy(m.diffuse, p.data(), 16);
            break;
        default: break;
        }
    }
}

void TARVELIN_GL_CALL emu_glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    set_material(face, pname, four(pname, params));
}
void TARVELIN_GL_CALL emu_glColorMaterial(GLenum face, GLenum mode)
{
    RECORD(emu_glColorMaterial(face, mode));
    state_changes();
    e.state.colour_material_face = face;
    e.state.colour_material_mode = mode;
}

void set_fog(GLenum pname, std::array<float, 4> p)
{
    RECORD(set_fog(pname, p));
    state_changes();
    fixed_state& s = e.state;
    switch (pname) {
    case GL_FOG_MODE: s.fog_mode = (GLenum)p[0]; break;
    case GL_FOG_DENSITY: s.fog_density = p[0]; break;
    case GL_FOG_START: s.fog_start = p[0]; break;
    case GL_FOG_END: s.fog_end = p[0]; break;
    case GL_FOG_COLOR: std::memcpy(s.fog_colour, p.data(), 16); break;
    default: break;
    }
}
void TARVELIN_GL_CALL emu_glFogf(GLenum pname, GLfloat param) { set_fog(pname, {param, 0, 0, 0}); }
void TARVELIN_GL_CALL emu_glFogi(GLenum pname, GLint param) { set_fog(pname, {(float)param, 0, 0, 0}); }
void TARVELIN_GL_CALL emu_glFogfv(GLenum pname, const GLfloat* params) { set_fog(pname, four(pname, params)); }

// The fixed function's hints mean nothing to the shader.
void TARVELIN_GL_CALL emu_glHint(GLenum, GLenum) {}

void TARVELIN_GL_CALL emu_glAlphaFunc(GLenum func, GLclampf ref)
{
    RECORD(emu_glAlphaFunc(func, ref));
    state_changes();
    e.state.alpha_func = func;
    e.state.alpha_ref = std::min(1.0f, std::max(0.0f, ref));
}
void TARVELIN_GL_CALL emu_glBlendFunc(GLenum source, GLenum destination)
{
    RECORD(emu_glBlendFunc(source, destination));
    flush();
    e.state.blend_source = source;
    e.state.blend_destination = destination;
    glBlendFunc(source, destination);
}
void TARVELIN_GL_CALL emu_glDepthFunc(GLenum func)
{
    RECORD(emu_glDepthFunc(func));
    flush();
    e.state.depth_func = func;
    glDepthFunc(func);
}
void TARVELIN_GL_CALL emu_glClear(GLbitfield mask)
{
    RECORD(emu_glClear(mask));
    flush();
    glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}
void TARVELIN_GL_CALL emu_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    RECORD(emu_glClearColor(r, g, b, a));
    float* c = e.state.clear_colour;
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
    glClearColor(r, g, b, a);
}
void TARVELIN_GL_CALL emu_glClearDepth(GLclampd depth)
{
    RECORD(emu_glClearDepth(depth));
    glClearDepthf((GLfloat)depth);
}
void TARVELIN_GL_CALL emu_glScissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    RECORD(emu_glScissor(x, y, width, height));
    flush();
    GLint* box = e.state.scissor;
    box[0] = x;
    box[1] = y;
    box[2] = width;
    box[3] = height;
    glScissor(x, y, width, height);
}
void TARVELIN_GL_CALL emu_glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    RECORD(emu_glViewport(x, y, width, height));
    flush();
    GLint* v = e.state.viewport;
    v[0] = x;
    v[1] = y;
    v[2] = width;
    v[3] = height;
    glViewport(x, y, width, height);
}
void TARVELIN_GL_CALL emu_glPointSize(GLfloat size)
{
    RECORD(emu_glPointSize(size));
    state_changes();
    e.state.point_size = size;
}
void TARVELIN_GL_CALL emu_glLineWidth(GLfloat width)
{
    RECORD(emu_glLineWidth(width));
    flush();
    e.state.line_width = width;
    // Wide lines are drawn as triangles (WebGL has none wider than a pixel).
}

void TARVELIN_GL_CALL emu_glGetFloatv(GLenum pname, GLfloat* params);

void TARVELIN_GL_CALL emu_glGetIntegerv(GLenum pname, GLint* params)
{
    switch (pname) {
    case GL_MATRIX_MODE: params[0] = (GLint)e.matrix_mode; return;
    case GL_LIST_BASE: params[0] = (GLint)e.state.list_base; return;
    case GL_MODELVIEW_STACK_DEPTH: params[0] = (GLint)e.modelview.size(); return;
    case GL_PROJECTION_STACK_DEPTH: params[0] = (GLint)e.projection.size(); return;
    case GL_ATTRIB_STACK_DEPTH: params[0] = (GLint)e.attribute_stack.size(); return;
    case GL_VIEWPORT: std::memcpy(params, e.state.viewport, sizeof e.state.viewport); return;
    case GL_SCISSOR_BOX: std::memcpy(params, e.state.scissor, sizeof e.state.scissor); return;
    default: glGetIntegerv(pname, params); return;
    }
}

void TARVELIN_GL_CALL emu_glGetFloatv(GLenum pname, GLfloat* params)
{
    const fixed_state& s = e.state;
    switch (pname) {
    case GL_MODELVIEW_MATRIX: std::memcpy(params, e.modelview.back().data(), 64); return;
    case GL_PROJECTION_MATRIX: std::memcpy(params, e.projection.back().data(), 64); return;
    case GL_POINT_SIZE: params[0] = s.point_size; return;
    case GL_LINE_WIDTH: params[0] = s.line_width; return;
    case GL_CURRENT_COLOR: std::memcpy(params, s.colour, 16); return;
    case GL_CURRENT_NORMAL: std::memcpy(params, s.normal, 12); return;
    case GL_CURRENT_RASTER_POSITION:
        std::memcpy(params, s.raster, 12);
        params[3] = 1;
        return;
    case GL_FOG_COLOR: std::memcpy(params, s.fog_colour, 16); return;
    case GL_FOG_START: params[0] = s.fog_start; return;
    case GL_FOG_END: params[0] = s.fog_end; return;
    case GL_FOG_DENSITY: params[0] = s.fog_density; return;
    case GL_COLOR_CLEAR_VALUE: std::memcpy(params, s.clear_colour, 16); return;
    case GL_VIEWPORT:
    case GL_SCISSOR_BOX:
    case GL_MATRIX_MODE:
    case GL_LIST_BASE: {
        GLint values[4] = {0, 0, 0, 0};
        emu_glGetIntegerv(pname, values);
        const int n = pname == GL_VIEWPORT || pname == GL_SCISSOR_BOX ? 4 : 1;
        for (int k = 0; k < n; ++k) params[k] = (GLfloat)values[k];
        return;
    }
    default: glGetFloatv(pname, params); return;
    }
}

void TARVELIN_GL_CALL emu_glGetDoublev(GLenum pname, GLdouble* params)
{
    GLfloat values[16] = {};
    emu_glGetFloatv(pname, values);
    const int n = pname == GL_MODELVIEW_MATRIX || pname == GL_PROJECTION_MATRIX ? 16 : 4;
    for (int k = 0; k < n; ++k) params[k] = values[k];
}

const GLubyte* TARVELIN_GL_CALL emu_glGetString(GLenum name) { return glGetString(name); }

void TARVELIN_GL_CALL emu_glPixelStorei(GLenum pname, GLint param)
{
    client_state& c = e.client;
    switch (pname) {
    case GL_UNPACK_ALIGNMENT: c.unpack_alignment = param; return;
    case GL_UNPACK_ROW_LENGTH: c.unpack_row_length = param; return;
    case GL_UNPACK_SKIP_ROWS: c.unpack_skip_rows = param; return;
    case GL_UNPACK_SKIP_PIXELS: c.unpack_skip_pixels = param; return;
    case GL_UNPACK_LSB_FIRST: c.unpack_lsb_first = param != 0; return;
    case GL_UNPACK_SWAP_BYTES: case GL_PACK_SWAP_BYTES: case GL_PACK_LSB_FIRST: return;
    case GL_PACK_ALIGNMENT: c.pack_alignment = param; break;
    case GL_PACK_ROW_LENGTH: c.pack_row_length = param; break;
    default: break;
    }
    glPixelStorei(pname, param);
}

void TARVELIN_GL_CALL emu_glPushAttrib(GLbitfield mask)
{
    RECORD(emu_glPushAttrib(mask));
    if (e.attribute_stack.size() >= ATTRIBUTE_DEPTH) return;
    e.attribute_stack.push_back(e.state);
    e.attribute_masks.push_back(mask);
}

void TARVELIN_GL_CALL emu_glPopAttrib()
{
    RECORD(emu_glPopAttrib());
    if (e.attribute_stack.empty()) return;
    state_changes();
    const fixed_state saved = e.attribute_stack.back();
    const GLbitfield mask = e.attribute_masks.back();
    e.attribute_stack.pop_back();
    e.attribute_masks.pop_back();
    fixed_state& s = e.state;
    if (mask & GL_CURRENT_BIT) {
        std::memcpy(s.colour, saved.colour, sizeof s.colour);
        std::memcpy(s.normal, saved.normal, sizeof s.normal);
        std::memcpy(s.raster, saved.raster, sizeof s.raster);
        std::memcpy(s.raster_colour, saved.raster_colour, sizeof s.raster_colour);
        s.raster_valid = saved.raster_valid;
    }
    if (mask & GL_ENABLE_BIT) {
        s.lighting = saved.lighting;
        for (int k = 0; k < LIGHT_COUNT; ++k) s.lights[k].enabled = saved.lights[k].enabled;
        s.fog = saved.fog;
        s.alpha_test = saved.alpha_test;
        s.colour_material = saved.colour_material;
        s.normalize = saved.normalize;
        s.depth_test = saved.depth_test;
        s.blend = saved.blend;
        s.scissor_test = saved.scissor_test;
        s.cull_face = saved.cull_face;
    }
    if (mask & GL_COLOR_BUFFER_BIT) {
        s.alpha_test = saved.alpha_test;
        s.alpha_func = saved.alpha_func;
        s.alpha_ref = saved.alpha_ref;
        s.blend = saved.blend;
        s.blend_source = saved.blend_source;
        s.blend_destination = saved.blend_destination;
        std::memcpy(s.clear_colour, saved.clear_colour, sizeof s.clear_colour);
    }
    if (mask & GL_DEPTH_BUFFER_BIT) {
        s.depth_test = saved.depth_test;
        s.depth_func = saved.depth_func;
    }
    if (mask & GL_FOG_BIT) {
        s.fog = saved.fog;
        s.fog_mode = saved.fog_mode;
        std::memcpy(s.fog_colour, saved.fog_colour, sizeof s.fog_colour);
        s.fog_start = saved.fog_start;
        s.fog_end = saved.fog_end;
        s.fog_density = saved.fog_density;
    }
    if (mask & GL_LIGHTING_BIT) {
        for (int k = 0; k < LIGHT_COUNT; ++k) s.lights[k] = saved.lights[k];
        s.material[0] = saved.material[0];
        s.material[1] = saved.material[1];
        std::memcpy(s.scene_ambient, saved.scene_ambient, sizeof s.scene_ambient);
        s.lighting = saved.lighting;
        s.two_side = saved.two_side;
        s.local_viewer = saved.local_viewer;
        s.colour_material = saved.colour_material;
        s.colour_material_face = saved.colour_material_face;
        s.colour_material_mode = saved.colour_material_mode;
    }
    if (mask & GL_POINT_BIT) s.point_size = saved.point_size;
    if (mask & GL_LINE_BIT) s.line_width = saved.line_width;
    if (mask & GL_SCISSOR_BIT) {
        s.scissor_test = saved.scissor_test;
        std::memcpy(s.scissor, saved.scissor, sizeof s.scissor);
    }
    if (mask & GL_VIEWPORT_BIT) std::memcpy(s.viewport, saved.viewport, sizeof s.viewport);
    if (mask & GL_LIST_BIT) s.list_base = saved.list_base;
    if (mask & GL_TRANSFORM_BIT) s.normalize = saved.normalize;
    apply_passed_state();
}

void TARVELIN_GL_CALL emu_glPushClientAttrib(GLbitfield mask)
{
    if (e.client_stack.size() >= ATTRIBUTE_DEPTH) return;
    e.client_stack.push_back(e.client);
    e.client_masks.push_back(mask);
}

void TARVELIN_GL_CALL emu_glPopClientAttrib()
{
    if (e.client_stack.empty()) return;
    const client_state saved = e.client_stack.back();
    const GLbitfield mask = e.client_masks.back();
    e.client_stack.pop_back();
    e.client_masks.pop_back();
    client_state& c = e.client;
    if (mask & GL_CLIENT_PIXEL_STORE_BIT) {
        c.unpack_alignment = saved.unpack_alignment;
        c.unpack_row_length = saved.unpack_row_length;
        c.unpack_skip_rows = saved.unpack_skip_rows;
        c.unpack_skip_pixels = saved.unpack_skip_pixels;
        c.unpack_lsb_first = saved.unpack_lsb_first;
        c.pack_alignment = saved.pack_alignment;
        c.pack_row_length = saved.pack_row_length;
        glPixelStorei(GL_PACK_ALIGNMENT, c.pack_alignment);
        glPixelStorei(GL_PACK_ROW_LENGTH, c.pack_row_length);
    }
    if (mask & GL_CLIENT_VERTEX_ARRAY_BIT) {
        c.vertices = saved.vertices;
        c.colours = saved.colours;
        c.normals = saved.normals;
    }
}

void TARVELIN_GL_CALL emu_glRasterPos2f(GLfloat x, GLfloat y)
{
    RECORD(emu_glRasterPos2f(x, y));
    fixed_state& s = e.state;
    const float object[4] = {x, y, 0, 1};
    float eye[4], clip[4];
    transform(e.modelview.back(), object, eye);
    transform(e.projection.back(), eye, clip);
    const float w = clip[3];
    s.raster_valid = w > 0 && std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
    if (!s.raster_valid) return;
    const GLint* vp = s.viewport;
    s.raster[0] = (float)vp[0] + (clip[0] / w + 1) * 0.5f * (float)vp[2];
    s.raster[1] = (float)vp[1] + (clip[1] / w + 1) * 0.5f * (float)vp[3];
    s.raster[2] = (clip[2] / w + 1) * 0.5f;
    for (int k = 0; k < 4; ++k) s.raster_colour[k] = std::min(1.0f, std::max(0.0f, s.colour[k]));
}

void TARVELIN_GL_CALL emu_glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove,
                                   GLfloat ymove, const GLubyte* bitmap)
{
    // Unpacked now, as OpenGL unpacks a bitmap when a list records it.
    std::vector<unsigned char> bits;
    if (bitmap && width > 0 && height > 0) {
        const client_state& c = e.client;
        const size_t row_bytes = (size_t)(width + 7) / 8;
        const size_t pixels_per_row = (size_t)(c.unpack_row_length > 0 ? c.unpack_row_length : width);
        const size_t alignment = (size_t)std::max(1, c.unpack_alignment);
        const size_t stride = ((pixels_per_row + 7) / 8 + alignment - 1) / alignment * alignment;
        bits.assign(row_bytes * (size_t)height, 0);
        for (int r = 0; r < height; ++r)
            for (int col = 0; col < width; ++col) {
                const size_t bit = (size_t)(col + c.unpack_skip_pixels);
                const unsigned char byte = bitmap[(size_t)(r + c.unpack_skip_rows) * stride + bit / 8];
                const bool set = c.unpack_lsb_first ? (byte >> (bit % 8)) & 1 : (byte >> (7 - bit % 8)) & 1;
                if (set) bits[(size_t)r * row_bytes + (size_t)col / 8] |= (unsigned char)(0x80 >> (col % 8));
            }
    }
    if (e.recording) {
        e.recording->calls.push_back([=] {
            draw_bitmap(width, height, xorig, yorig, xmove, ymove, bits.empty() ? nullptr : bits.data());
        });
        return;
    }
    draw_bitmap(width, height, xorig, yorig, xmove, ymove, bits.empty() ? nullptr : bits.data());
}

GLuint TARVELIN_GL_CALL emu_glGenLists(GLsizei range)
{
    if (range <= 0) return 0;
    const GLuint first = e.next_list;
    e.next_list += (GLuint)range;
    return first;
}

void TARVELIN_GL_CALL emu_glDeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei k = 0; k < range; ++k) {
        const auto found = e.lists.find(list + (GLuint)k);
        if (found == e.lists.end()) continue;
        delete_list_buffers(*found->second);
        e.lists.erase(found);
    }
}

void TARVELIN_GL_CALL emu_glNewList(GLuint list, GLenum mode)
{
    if (e.recording || list == 0) return;
    flush();
    e.recording = new display_list;
    e.recording_name = list;
    e.recording_mode = mode;
    e.recording_coloured = e.recording_normal_set = false;
    std::memcpy(e.saved_colour, e.state.colour, sizeof e.saved_colour);
    std::memcpy(e.saved_normal, e.state.normal, sizeof e.saved_normal);
}

void TARVELIN_GL_CALL emu_glEndList()
{
    if (!e.recording) return;
    std::unique_ptr<display_list> l(e.recording);
    e.recording = nullptr;
    // Compiling executes nothing: the current colour and normal are as before.
    std::memcpy(e.state.colour, e.saved_colour, sizeof e.saved_colour);
    std::memcpy(e.state.normal, e.saved_normal, sizeof e.saved_normal);
    if (!l->indices.empty()) {
        merge_equal_vertices(*l);
        use_vertex_array(e.gl.vertex_array);  // the list's index buffer must not become another array's
        glGenBuffers(2, l->buffers);
        glBindBuffer(GL_ARRAY_BUFFER, l->buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(l->vertices.size() * sizeof(vertex_data)), l->vertices.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, l->buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(l->indices.size() * sizeof(uint32_t)), l->indices.data(),
                     GL_STATIC_DRAW);
        bool triangles = false;
        for (const auto& call : l->calls)
            if (const list_draw* d = call.target<list_draw>()) triangles = triangles || d->kind == CLASS_TRIANGLES;
        if (triangles) {
            l->positions.resize(l->vertices.size());
            for (size_t v = 0; v < l->vertices.size(); ++v)
                std::memcpy(l->positions[v].data(), l->vertices[v].position, sizeof l->positions[v]);
            l->triangle_indices = l->indices;
            l->inward_faces = inward_faces_of(*l);
        }
    }
    // A closed shape's are kept for gather_closed.
    if (!l->inward_faces) {
        l->vertices.clear();
        l->vertices.shrink_to_fit();
    }
    l->indices.clear();
    l->indices.shrink_to_fit();
    const GLuint name = e.recording_name;
    emu_glDeleteLists(name, 1);
    e.lists[name] = std::move(l);
    if (e.recording_mode == GL_COMPILE_AND_EXECUTE) call_list(name);
}

void TARVELIN_GL_CALL emu_glCallList(GLuint list)
{
    RECORD(emu_glCallList(list));
    call_list(list);
}

void TARVELIN_GL_CALL emu_glCallLists(GLsizei n, GLenum type, const GLvoid* lists)
{
    if (n <= 0 || !lists) return;
    std::vector<GLuint> names((size_t)n);
    for (size_t k = 0; k < names.size(); ++k) {
        switch (type) {
        case GL_UNSIGNED_BYTE: names[k] = ((const GLubyte*)lists)[k]; break;
        case GL_BYTE: names[k] = (GLuint)((const GLbyte*)lists)[k]; break;
        case GL_UNSIGNED_SHORT: names[k] = ((const GLushort*)lists)[k]; break;
        case GL_SHORT: names[k] = (GLuint)((const GLshort*)lists)[k]; break;
        case GL_UNSIGNED_INT: names[k] = ((const GLuint*)lists)[k]; break;
        case GL_INT: names[k] = (GLuint)((const GLint*)lists)[k]; break;
        default: return;
        }
    }
    auto run = [](const std::vector<GLuint>& names) {
        for (GLuint name : names) call_list(e.state.list_base + name);
    };
    if (e.recording) {
        e.recording->calls.push_back([=] { run(names); });
        return;
    }
    run(names);
}

void TARVELIN_GL_CALL emu_glListBase(GLuint base)
{
    RECORD(emu_glListBase(base));
    e.state.list_base = base;
}

client_array* client_array_of(GLenum array)
{
    switch (array) {
    case GL_VERTEX_ARRAY: return &e.client.vertices;
    case GL_COLOR_ARRAY: return &e.client.colours;
    case GL_NORMAL_ARRAY: return &e.client.normals;
    default: return nullptr;
    }
}

void TARVELIN_GL_CALL emu_glEnableClientState(GLenum array)
{
    if (client_array* a = client_array_of(array)) a->enabled = true;
}
void TARVELIN_GL_CALL emu_glDisableClientState(GLenum array)
{
    if (client_array* a = client_array_of(array)) a->enabled = false;
}
void TARVELIN_GL_CALL emu_glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    e.client.vertices = {e.client.vertices.enabled, size, type, stride, pointer};
}
void TARVELIN_GL_CALL emu_glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    e.client.colours = {e.client.colours.enabled, size, type, stride, pointer};
}

// Copies `count` elements of a float client array into a buffer and points `location` at it.
void client_array_into_buffer(const client_array& a, size_t count, GLuint location)
{
    const size_t element = (size_t)a.size * sizeof(float);
    const size_t stride = a.stride ? (size_t)a.stride : element;
    if (stride == element) {
        upload(GL_ARRAY_BUFFER, a.pointer, count * element);
    } else {
        std::vector<unsigned char> packed(count * element);
        for (size_t v = 0; v < count; ++v)
            std::memcpy(&packed[v * element], (const unsigned char*)a.pointer + v * stride, element);
        upload(GL_ARRAY_BUFFER, packed.data(), packed.size());
    }
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, a.size, GL_FLOAT, GL_FALSE, 0, nullptr);
}

void TARVELIN_GL_CALL emu_glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices)
{
    const client_state& c = e.client;
    if (count <= 0 || !indices || !c.vertices.enabled || c.vertices.type != GL_FLOAT) return;
    if (c.colours.enabled && c.colours.type != GL_FLOAT) return;
    flush();
    if (!prepare_uniforms(false, false)) return;
    use_vertex_array(e.gl.vertex_array);
    std::vector<uint32_t> given((size_t)count);
    for (size_t k = 0; k < given.size(); ++k) {
        switch (type) {
        case GL_UNSIGNED_BYTE: given[k] = ((const GLubyte*)indices)[k]; break;
        case GL_UNSIGNED_SHORT: given[k] = ((const GLushort*)indices)[k]; break;
        default: given[k] = ((const GLuint*)indices)[k]; break;
        }
    }
    const size_t vertices = (size_t)*std::max_element(given.begin(), given.end()) + 1;
    std::vector<uint32_t> split;
    append_indices(mode, 0, given.data(), given.size(), split);
    client_array_into_buffer(c.vertices, vertices, ATTRIBUTE_POSITION);
    if (c.colours.enabled) {
        client_array_into_buffer(c.colours, vertices, ATTRIBUTE_COLOUR);
    } else {
        glDisableVertexAttribArray(ATTRIBUTE_COLOUR);
        glVertexAttrib4fv(ATTRIBUTE_COLOUR, e.state.colour);
    }
    glDisableVertexAttribArray(ATTRIBUTE_NORMAL);
    glVertexAttrib3fv(ATTRIBUTE_NORMAL, e.state.normal);
    upload(GL_ELEMENT_ARRAY_BUFFER, split.data(), split.size() * sizeof(uint32_t));
    draw_elements(class_mode(class_of(mode)), split.size(), 0);
}

void TARVELIN_GL_CALL emu_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                                       GLvoid* pixels)
{
    flush();
    if (format != GL_RGB || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0) {
        glReadPixels(x, y, width, height, format, type, pixels);
        e.gl.next_stream[0] = e.gl.next_stream[1] = 0;
        return;
    }
    // Reading RGBA is what every OpenGL ES context offers; the rows are then
    // packed as the client asked for.
    const client_state& c = e.client;
    e.read_buffer.resize((size_t)width * (size_t)height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, e.read_buffer.data());
    glPixelStorei(GL_PACK_ALIGNMENT, c.pack_alignment);
    glPixelStorei(GL_PACK_ROW_LENGTH, c.pack_row_length);
    e.gl.next_stream[0] = e.gl.next_stream[1] = 0;  // the frame is drawn: every stream buffer is free
    const size_t alignment = (size_t)std::max(1, c.pack_alignment);
    const size_t row_pixels = (size_t)(c.pack_row_length > 0 ? c.pack_row_length : width);
    const size_t stride = (row_pixels * 3 + alignment - 1) / alignment * alignment;
    for (size_t r = 0; r < (size_t)height; ++r)
        for (size_t col = 0; col < (size_t)width; ++col)
            std::memcpy((unsigned char*)pixels + r * stride + col * 3,
                        &e.read_buffer[(r * (size_t)width + col) * 4], 3);
}

void TARVELIN_GL_CALL emu_glFinish()
{
    flush();
    glFinish();
    e.gl.next_stream[0] = e.gl.next_stream[1] = 0;
}

void TARVELIN_GL_CALL emu_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble near_z, GLdouble far_z)
{
    perspective(fovy, aspect, near_z, far_z);
}
void TARVELIN_GL_CALL emu_gluLookAt(GLdouble eye_x, GLdouble eye_y, GLdouble eye_z, GLdouble centre_x,
                                    GLdouble centre_y, GLdouble centre_z, GLdouble up_x, GLdouble up_y, GLdouble up_z)
{
    look_at(eye_x, eye_y, eye_z, centre_x, centre_y, centre_z, up_x, up_y, up_z);
}
GLUquadric* TARVELIN_GL_CALL emu_gluNewQuadric() { return new_quadric(); }
void TARVELIN_GL_CALL emu_gluDeleteQuadric(GLUquadric* q) { delete_quadric(q); }
void TARVELIN_GL_CALL emu_gluQuadricDrawStyle(GLUquadric* q, GLenum style) { quadric_draw_style(q, style); }
void TARVELIN_GL_CALL emu_gluQuadricNormals(GLUquadric* q, GLenum normals) { quadric_normals(q, normals); }
void TARVELIN_GL_CALL emu_gluSphere(GLUquadric* q, GLdouble radius, GLint slices, GLint stacks)
{
    sphere(q, radius, slices, stacks);
}
void TARVELIN_GL_CALL emu_gluCylinder(GLUquadric* q, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                                      GLint stacks)
{
    cylinder(q, base, top, height, slices, stacks);
}

GLuint compile(GLenum kind, const std::string& header, const char* source, std::string& error)
{
    const GLuint shader = glCreateShader(kind);
    const char* sources[2] = {header.c_str(), source};
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint done = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &done);
    if (done) return shader;
    char log[512] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string("cannot compile the emulation's ") + (kind == GL_VERTEX_SHADER ? "vertex" : "fragment") +
            " shader: " + log;
    for (char& ch : error)
        if (ch == '\n') ch = ' ';
    glDeleteShader(shader);
    return 0;
}

GLuint build_program(uint32_t key, std::string& error)
{
    std::string header = "#version 300 es\n";
    for (int k = 0; k < FEATURE_BITS; ++k)
        header += std::string("#define ") + FEATURE_NAMES[k] + ((key >> k) & 1 ? " 1\n" : " 0\n");
    for (const auto& field : KEY_FIELDS)
        header += std::string("#define ") + field.name + " " +
                  std::to_string((key >> field.shift) & ((1u << field.width) - 1)) + "\n";
    std::string vertex_source = VERTEX_SHADER_START;
    for (const char* face : {"0", "1"}) {
        std::string lit = LIT_FACE;
        for (size_t at = lit.find('@'); at != std::string::npos; at = lit.find('@', at)) lit.replace(at, 1, face);
        vertex_source += lit;
    }
    vertex_source += VERTEX_SHADER_MAIN;
    const GLuint vertex_shader = compile(GL_VERTEX_SHADER, header, vertex_source.c_str(), error);
    if (!vertex_shader) return 0;
    const GLuint fragment_shader = compile(GL_FRAGMENT_SHADER, header, FRAGMENT_SHADER, error);
    if (!fragment_shader) {
        glDeleteShader(vertex_shader);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex_shader);
    glAttachShader(program, fragment_shader);
    glLinkProgram(program);
    glDeleteShader(vertex_shader);
    glDeleteShader(fragment_shader);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked) return program;
    char log[512] = "";
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    error = std::string("cannot link the emulation's shaders: ") + log;
    glDeleteProgram(program);
    return 0;
}

gl_functions emulated_functions()
{
    gl_functions table;
#define TARVELIN_GL_EMULATED(result, name, parameters) table.name = &emu_##name;
    TARVELIN_GL_FUNCTIONS(TARVELIN_GL_EMULATED)
#undef TARVELIN_GL_EMULATED
    return table;
}

}  // namespace

}  // namespace gles

bool use_gles_backend(std::string& error)
{
    using namespace gles;
    // A new context: nothing of the last one's is left.
    e = emulation();
    // A program with most features is built now: it tells whether the
    // context compiles the emulation's shaders at all.
    const uint32_t most = FEATURE_LIGHTING | FEATURE_TWO_SIDE | FEATURE_FOG | FEATURE_ALPHA_TEST | FEATURE_LIGHT_ON |
                          FEATURE_POSITIONAL | FEATURE_SPOT | FEATURE_SPOT_EXPONENT | FEATURE_ATTENUATION |
                          FEATURE_LOCAL_VIEWER | FEATURE_NORMALIZE | FEATURE_SHINE0 | FEATURE_SHINE1 |
                          3u << TRACKED0_SHIFT | 2u << FOG_MODE_SHIFT | 6u << ALPHA_FUNC_SHIFT;
    if (!make_program(most, error)) return false;
    glGenVertexArrays(1, &e.gl.vertex_array);
    glBindVertexArray(e.gl.vertex_array);
    e.gl.bound_array = e.gl.vertex_array;
    glGetIntegerv(GL_VIEWPORT, e.state.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, e.state.scissor);
    glEnable(GL_DITHER);
    gl_dispatch = emulated_functions();
    gl_draw_held_primitives = flush;
    return true;
}

void release_gles_backend()
{
    using namespace gles;
    if (!e.gl.vertex_array) return;
    e.pending_class = CLASS_NONE;
    for (auto& entry : e.lists) delete_list_buffers(*entry.second);
    e.lists.clear();
    delete e.recording;
    e.recording = nullptr;
    for (const std::vector<GLuint>& stream : e.gl.stream)
        if (!stream.empty()) glDeleteBuffers((GLsizei)stream.size(), stream.data());
    glDeleteVertexArrays(1, &e.gl.vertex_array);
    for (const auto& entry : e.gl.programs)
        if (entry.second.program) glDeleteProgram(entry.second.program);
    e.gl = context_objects{};
}
