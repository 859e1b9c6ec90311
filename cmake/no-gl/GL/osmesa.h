// Stands in for <GL/osmesa.h> in the GL-free layers.
#error "GL-free code includes <GL/osmesa.h>: move this code to the render or ui layer"
