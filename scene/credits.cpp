// Credit line of the interactive program and of the screensaver build.
#include "scene/credits.h"

#include "common/gl.h"
#include "render/overlay.h"

void credit_line_position(bool large_layout, float& x, float& y)
{
    x = large_layout ? 440.0f : 160.0f;
    y = 10.0f;
}

const char* credit_line_format(bool saver)
{
    return saver ? "The lake bottom screensaver. Created by Orvandel %s" : "Created by Orvandel %s";
}

void draw_credit_line(bool saver, bool large_layout)
{
    float x, y;
    credit_line_position(large_layout, x, y);
    glColor3d(1, 0, 0);
    print_text(x, y, credit_line_format(saver), "");
}
