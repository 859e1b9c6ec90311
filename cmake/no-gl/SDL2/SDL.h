// Stands in for <SDL2/SDL.h> in the GL-free layers.
#error "GL-free code includes <SDL2/SDL.h>: move this code to the render or ui layer"
