#pragma once
// The yield law plasticity gives a body (see plastic_analysis.cpp for the rule).
#include "fem/plastic_kernels.h"

namespace tarvsolv {

// The law of an isotropic material with tensile yield `sy`, fracture limit `su` and compressive
// yield `syc` (0: not given) under the solve's friction angle in degrees (0: von Mises).
PlasticLaw plasticLawOf(double young, double poisson, double sy, double su, double syc,
                        double frictionDegrees);

}  // namespace tarvsolv
