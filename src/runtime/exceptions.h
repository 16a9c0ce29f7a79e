// The runtime's exception family. Each class reports its own class name,
// as the status code an exception becomes at the host boundary is derived
// from that name. Raise() rethrows an object under its dynamic type, so an
// exception built from a status travels as the class it names.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

class Exception {
 public:
  explicit Exception(std::u16string message = {}, std::int32_t helpContext = 0)
      : Message(std::move(message)), HelpContext(helpContext) {}
  virtual ~Exception() = default;
  Exception(const Exception&) = default;
  Exception& operator=(const Exception&) = default;

  virtual const char* ClassName() const { return "Exception"; }
  // Throws a copy of the most derived class: a plain "throw e" on a base
  // reference would slice it to the base.
  [[noreturn]] virtual void Raise() const { throw *this; }

  std::u16string Message;
  std::int32_t HelpContext = 0;
};

// Declares what every class of the family repeats: its name and Raise().
#define QUILLET_EXCEPTION_IDENTITY(Name)                   \
  const char* ClassName() const override { return #Name; } \
  [[noreturn]] void Raise() const override { throw *this; }

// A class that adds nothing to its base but its name.
#define QUILLET_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {                  \
   public:                                    \
    using Base::Base;                         \
    QUILLET_EXCEPTION_IDENTITY(Name)          \
  };

QUILLET_DECLARE_EXCEPTION(EConvertError, Exception)
QUILLET_DECLARE_EXCEPTION(EInOutError, Exception)
QUILLET_DECLARE_EXCEPTION(EAbort, Exception)
QUILLET_DECLARE_EXCEPTION(EOleError, Exception)

// A failure status, with the status as ErrorCode.
class EOleSysError : public EOleError {
 public:
  EOleSysError(std::u16string message, std::int32_t errorCode, std::int32_t helpContext = 0)
      : EOleError(std::move(message), helpContext), ErrorCode(errorCode) {}
  QUILLET_EXCEPTION_IDENTITY(EOleSysError)

  std::int32_t ErrorCode;
};

class EOleException : public EOleSysError {
 public:
  EOleException(std::u16string message, std::int32_t errorCode, std::u16string source,
                std::u16string helpFile, std::int32_t helpContext)
      : EOleSysError(std::move(message), errorCode, helpContext),
        Source(std::move(source)),
        HelpFile(std::move(helpFile)) {}
  QUILLET_EXCEPTION_IDENTITY(EOleException)

  std::u16string Source;
  std::u16string HelpFile;
};

// An operating-system error code (not a status).
class EOSError : public Exception {
 public:
  explicit EOSError(std::u16string message = {}, std::uint32_t errorCode = 0)
      : Exception(std::move(message)), ErrorCode(errorCode) {}
  QUILLET_EXCEPTION_IDENTITY(EOSError)

  std::uint32_t ErrorCode;
};

// The runtime's assertion failure: message "%s (%s, line %d)".
class EAssertionFailed : public Exception {
 public:
  using Exception::Exception;
  QUILLET_EXCEPTION_IDENTITY(EAssertionFailed)

  static EAssertionFailed At(std::u16string_view message, std::u16string_view unit, int line);
};

// The runtime's conversion messages.
// The quotes are the runtime's own, doubled in some messages and single
// in others; operators and tests see them exactly so.
inline constexpr char16_t kInvalidInteger[] = u"''%s'' is not a valid integer value";
inline constexpr char16_t kInvalidFloat[] = u"'%s' is not a valid floating point value";
inline constexpr char16_t kInvalidDateTime[] = u"''%s'' is not a valid date and time";
inline constexpr char16_t kDateEncodeError[] = u"Invalid argument to date encode";
inline constexpr char16_t kTimeEncodeError[] = u"Invalid argument to time encode";

}  // namespace quillet
