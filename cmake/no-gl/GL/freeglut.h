// Stands in for <GL/freeglut.h> in the GL-free layers.
#error "GL-free code includes <GL/freeglut.h>: move this code to the render or ui layer"
