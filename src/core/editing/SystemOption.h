// The model choice of the system option dialog.
#pragma once

#include "ClassKQxx53.h"

#include <string>
#include <vector>

namespace kq {

// The list items in model code order.
std::vector<std::string> ModelListItems();

// The item to select for the device's model; -1 when its code has no item
// (a radio read with an unknown code).
int ModelListIndex(const ClassKQxx53& dev);

// The model a command line names: its code 0..3 or its name (KQ-0253, any
// case); -1 for anything else.
int ParseModelCode(const std::string& text);
// The models by code and name, as help and messages list them:
// "0 KQ-0253, 1 KQ-0353, ...".
std::string ModelCodesText();
// A model as a question names it: "KQ-0153 (IF +21.4 MHz)"; a code without
// a model "an unknown model (code 9)".
std::string ModelDescription(int code);

// Sets the model and the values that go with it. Throws KqError for an
// index without an item, the device untouched.
void ApplySystemOption(ClassKQxx53& dev, int index);

} // namespace kq
