// Stands in for <imgui_internal.h> in the GL-free layers.
#error "GL-free code includes <imgui_internal.h>: move this code to the render or ui layer"
