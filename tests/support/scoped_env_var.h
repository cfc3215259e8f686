// Sets or unsets an environment variable of the test process for one scope and restores the
// previous value afterwards. On Windows the C runtime's copy is changed (_wputenv), which is
// what the program reads.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "core/environment.h"
#include "core/text.h"

namespace vantro::test_support {

class ScopedEnvVar {
 public:
  // `value` nothing unsets the variable.
  ScopedEnvVar(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    const env::Var previous = env::read(name_);
    if (previous.state == env::VarState::Set) previous_ = previous.value;
    apply(value);
  }
  ~ScopedEnvVar() { apply(previous_); }
  ScopedEnvVar(const ScopedEnvVar&) = delete;
  ScopedEnvVar& operator=(const ScopedEnvVar&) = delete;

 private:
  void apply(const std::optional<std::string>& value) const {
#ifdef _WIN32
    // "NAME=" removes the variable; the C runtime cannot hold an empty value.
    const std::u16string assignment = text::to_utf16(name_ + "=" + value.value_or(""));
    _wputenv(reinterpret_cast<const wchar_t*>(assignment.c_str()));
#else
    if (value) {
      setenv(name_.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
#endif
  }

  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace vantro::test_support
