// Stands in for <backends/imgui_impl_opengl2.h> in the GL-free layers.
#error "GL-free code includes <backends/imgui_impl_opengl2.h>: move this code to the render or ui layer"
