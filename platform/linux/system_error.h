#pragma once
// The system's reason for an error number, in Catalan, as a program text.
#include <string>

namespace torvic {

std::string systemErrorText(int code);

}  // namespace torvic
