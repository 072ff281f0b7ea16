#pragma once
// A loaded shared library (.so or .dll) and the lookup of its symbols.

#include <string>

namespace host {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  SharedLibrary(SharedLibrary&& other) noexcept;
  SharedLibrary& operator=(SharedLibrary&& other) noexcept;

  // Loads the library at path (UTF-8). On failure returns false and error
  // holds the system's reason.
  bool open(const std::string& path, std::string& error);
  void close();
  bool isOpen() const { return handle != nullptr; }
  void* symbol(const char* name) const;

 private:
  void* handle = nullptr;
};

}  // namespace host
