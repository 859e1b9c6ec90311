// Stands in for <backends/imgui_impl_glut.h> in the GL-free layers.
#error "GL-free code includes <backends/imgui_impl_glut.h>: move this code to the render or ui layer"
