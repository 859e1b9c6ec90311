// Stands in for <imgui.h> in the GL-free layers.
#error "GL-free code includes <imgui.h>: move this code to the render or ui layer"
