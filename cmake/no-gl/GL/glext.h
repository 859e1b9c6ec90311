// Stands in for <GL/glext.h> in the GL-free layers.
#error "GL-free code includes <GL/glext.h>: move this code to the render or ui layer"
