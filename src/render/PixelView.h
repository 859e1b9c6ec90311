// Drawing flat over the finished 3-D view in its pixels (x from the left, y from the
// bottom of the viewport): depth test, lighting, texturing and fog off, matrices kept.
#pragma once

// Begin returns false, having changed nothing, when the viewport is empty.
bool BeginPixelView(int* view_width, int* view_height);
void EndPixelView();
