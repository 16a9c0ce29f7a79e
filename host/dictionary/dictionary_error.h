// The one error of the dictionary tools: a country file or a CSV file that
// cannot be read, a pattern the engine refuses, a database statement that
// fails. Its text is meant for the operator.
#pragma once

#include <stdexcept>

namespace quillet::host {

class DictionaryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quillet::host
