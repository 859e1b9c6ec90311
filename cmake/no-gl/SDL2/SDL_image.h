// Stands in for <SDL2/SDL_image.h> in the GL-free layers.
#error "GL-free code includes <SDL2/SDL_image.h>: move this code to the render or ui layer"
