#pragma once

// GLEW must come before any other OpenGL header.
#include <GL/glew.h>
#include <GL/glu.h>
