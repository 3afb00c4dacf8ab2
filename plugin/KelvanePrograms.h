#pragma once

#include "plugin/KelvaneParameters.h"

#include <array>

namespace OSK
{
/** A factory program: the normalised value of every parameter, in index order. */
struct KelvaneProgram
{
    const char* name;
    std::array<float, numKelvaneParameters> values;
};

inline constexpr int numKelvaneFactoryPrograms = 6;

/** "Default", "Alpenfrisch", "BergPanorama", "Eisbock", "Pfundig", "Almenrausch". */
extern const std::array<KelvaneProgram, numKelvaneFactoryPrograms> kelvaneFactoryPrograms;

} // namespace OSK
