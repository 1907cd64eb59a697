// Error raised when a text does not hold the number (or the shape) a caller
// expected. It travels to the program-wide error handler like any other
// exception; the message names the offending text.
#pragma once

#include <stdexcept>
#include <string>

namespace core {

class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace core
