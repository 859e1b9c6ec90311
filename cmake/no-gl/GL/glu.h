// Stands in for <GL/glu.h> in the GL-free layers.
#error "GL-free code includes <GL/glu.h>: move this code to the render or ui layer"
