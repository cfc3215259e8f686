// The error value: a chain of context messages, outermost first when shown.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantro {

class Error {
 public:
  explicit Error(std::string message) { chain_.push_back(std::move(message)); }

  // An HRESULT with the system's text for it: "{message} (0x{hr:08X})".
  [[nodiscard]] static Error hresult(std::int32_t hr, std::string_view system_message);
  // A message that stands for an HRESULT: the text is the message alone, the code is kept
  // as data (hresult_code()).
  [[nodiscard]] static Error coded(std::int32_t hr, std::string message);
  // A system input/output error: "{message} (os error {code})".
  [[nodiscard]] static Error io(int code, std::string_view system_message);

  // Wraps this error in one more context message (the new outermost message).
  [[nodiscard]] Error context(std::string message) && {
    chain_.push_back(std::move(message));
    return std::move(*this);
  }
  [[nodiscard]] Error context(std::string message) const& { return Error(*this).context(std::move(message)); }

  // The outermost message alone.
  [[nodiscard]] const std::string& plain() const { return chain_.back(); }
  // The whole chain, outermost first, joined by ": ".
  [[nodiscard]] std::string alternate() const;
  // The outermost message, then "\n\nCaused by:" and one indented line per cause, numbered
  // from 0 when there are two or more.
  [[nodiscard]] std::string debug() const;

  // Messages from the outermost to the innermost.
  [[nodiscard]] std::vector<std::string> chain() const { return {chain_.rbegin(), chain_.rend()}; }
  [[nodiscard]] const std::string& root_cause() const { return chain_.front(); }
  // The HRESULT the innermost message stands for, when it was made from one.
  [[nodiscard]] std::optional<std::int32_t> hresult_code() const { return hresult_code_; }

  friend bool operator==(const Error&, const Error&) = default;

 private:
  std::vector<std::string> chain_;  // innermost first
  std::optional<std::int32_t> hresult_code_;
};

template <class T = void>
using Result = std::expected<T, Error>;

[[nodiscard]] inline std::unexpected<Error> fail(std::string message) {
  return std::unexpected<Error>(Error(std::move(message)));
}
[[nodiscard]] inline std::unexpected<Error> fail(Error error) { return std::unexpected<Error>(std::move(error)); }

// Adds a context message to the error of a failed result; a success passes through.
template <class T>
[[nodiscard]] Result<T> with_context(Result<T>&& result, std::string message) {
  if (result) return std::move(result);
  return std::unexpected<Error>(std::move(result.error()).context(std::move(message)));
}

}  // namespace vantro
