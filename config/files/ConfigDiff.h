#pragma once
// Two configurations compared parameter by parameter: what a restore must write, what a read-back
// still shows differently, what a comparison lists.
#include <cstdint>
#include <vector>

#include "config/params/ParamTable.h"

namespace k54 {

struct Difference {
    int row;
    int32_t from, to;  // the row's value in the first image and in the second
};

// A row's value in a register image.
int32_t valueInImage(const RegisterImage& image, int rowIndex);
// The image with a row's value put in.
void putInImage(RegisterImage& image, int rowIndex, int32_t value);

// The parameters whose values differ, in register order. The service password is never compared; the
// link rows (address, speed, protocol) only when withLink.
std::vector<Difference> differences(const RegisterImage& from, const RegisterImage& to, bool withLink);

}  // namespace k54
