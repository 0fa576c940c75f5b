// Reports of a difference between the model and the real module, in words.
#pragma once

#include <string>

#include "tests/support/bridge_model.h"

namespace model {

// A readable account of how two outcomes differ, or empty when they do not.
std::string Difference(const Outcome& expected, const Outcome& actual);

// A step written as text, for reports of a difference.
std::string Describe(const Step& step);

}  // namespace model
