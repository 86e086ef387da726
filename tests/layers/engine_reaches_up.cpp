// Built only by the layering test, which expects it not to compile: the engine layer cannot see the
// patch layer above it.
#include "patch/patch.hpp"
