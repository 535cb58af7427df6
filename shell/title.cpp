// Title sequence: the streaming points and the fading monogram.
#include "shell/title.h"

#include "common/random.h"

void make_title_point(title_point& p)
{
    p.x = (float)(next_random() % 500 - 250);
    p.z = (float)(-(next_random() % 1000));
    p.y = (float)(next_random() % 500 - 250);
    p.kind = next_random() % 10;
}

void seed_title_points()
{
    for (title_point& p : world.title_points) make_title_point(p);
}
