#include "engine/wave_functions.hpp"

#include "engine/engine.hpp"

namespace mw {

void NoiseStep(double& level, double& target, double f, double rate, Engine& engine) {
    NoiseStep(level, target, f, rate, [&engine] { return engine.Rand(); });
}

} // namespace mw
