#pragma once
// Random operator actions that the model's state allows.
#include <rapidcheck.h>

#include "tests/model/OperatorModel.h"

namespace k54::model {

// What an operator might type into a numeric field: numbers with either separator, signs, exponents,
// blanks, numbers far out of range, a lone separator, garbage and nothing, at most six characters.
rc::Gen<std::string> genTypedText();

rc::Gen<Action> genAction(const Model& model);

}  // namespace k54::model
