// Stands in for <GL/gl.h> in the GL-free layers.
#error "GL-free code includes <GL/gl.h>: move this code to the render or ui layer"
