// Stands in for <GL/glut.h> in the GL-free layers.
#error "GL-free code includes <GL/glut.h>: move this code to the render or ui layer"
