// Stands in for <X11/Xlib.h> in the GL-free layers.
#error "GL-free code includes <X11/Xlib.h>: move this code to the render or ui layer"
