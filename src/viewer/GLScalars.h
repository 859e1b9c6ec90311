// The GL scalar types the viewer's state is declared in, by the names and types the GL
// header gives them, so that GL-free code shares those declarations without seeing GL.
#pragma once

typedef int GLint;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef double GLdouble;
