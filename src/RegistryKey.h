// A registry key held open for reading, closed when the holder goes.
#pragma once

#include <exception>
#include <string>

#include "platform/Platform.h"

// A read of a registry value that could not deliver a text.
class RegistryError : public std::exception {
 public:
  explicit RegistryError(const char* reason) noexcept : reason_(reason) {}
  const char* what() const noexcept override { return reason_; }

 private:
  const char* reason_;
};

// Holds at most one key. Closes it with RegCloseKey exactly once, and only
// when the open succeeded; never flushes it and never writes to it.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Close(); }

  // Opens subKey of root with KEY_READ alone. A failed open leaves no key
  // held; the outcome shows in later reads, which then fail.
  void OpenReadOnly(platform::KeyHandle root, const char* subKey);

  // Reads a REG_SZ or REG_EXPAND_SZ value: a size query, then a data query
  // into a buffer of exactly that size. Returns the delivered bytes up to
  // the first zero byte, unexpanded. A missing value or one of 0 bytes gives
  // the empty string; a failed data query or another type throws
  // RegistryError; no buffer throws std::bad_alloc.
  std::string ReadString(const char* valueName) const;

 private:
  void Close();

  platform::KeyHandle handle_ = 0;
};
