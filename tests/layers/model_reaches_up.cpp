// Built only by the layering test, which expects it not to compile: the model layer cannot see the
// engine above it.
#include "engine/engine.hpp"
