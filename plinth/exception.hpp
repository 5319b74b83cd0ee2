#pragma once
// The error family of the support and configuration libraries. Each class extends the kind path
// ("registry2.key_error") so that what() tells where an error came from and what happened:
// kind + "[" + message + "]".
#include <exception>
#include <string>

namespace plinth {

class exception : public std::exception {
 public:
  explicit exception(const std::string& message);
  explicit exception(const char* format, ...);
  exception(const exception& other);
  exception& operator=(const exception&) = delete;
  ~exception() override;

  // The text is rebuilt on every call; the pointer stays valid until the next call.
  const char* what() const noexcept override;
  virtual const char* message() const;
  virtual const char* kind() const;

 protected:
  // Appends one segment to the kind path, with a "." when the base already set one.
  void append_kind(const char* segment);

  mutable std::string m_what;
  mutable std::string m_message;
  mutable std::string m_kind;
};

// An exception whose message is wide text. The narrow interface converts it to the ANSI code
// page on first use; characters the code page lacks become its replacement character.
class exception_w : public exception {
 public:
  explicit exception_w(const wchar_t* format, ...);
  exception_w(const exception_w& other);
  ~exception_w() override;

  const char* what() const noexcept override;
  const char* message() const override;
  const char* kind() const override;
  virtual const wchar_t* what_w() const;
  virtual const wchar_t* message_w() const;
  virtual const wchar_t* kind_w() const;

 private:
  void make_narrow_views() const;

  mutable std::wstring m_what_w;
  std::wstring m_message_w;
  std::wstring m_kind_w;
  mutable bool m_narrowed;
};

}  // namespace plinth
