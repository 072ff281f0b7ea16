#include "host/SharedLibrary.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

SharedLibrary::~SharedLibrary() { close(); }

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
  if (this != &other) {
    close();
    handle = std::exchange(other.handle, nullptr);
  }
  return *this;
}

#if defined(_WIN32)

namespace {

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

bool SharedLibrary::open(const std::string& path, std::string& error) {
  close();
  HMODULE module = LoadLibraryW(widen(path).c_str());
  if (module == nullptr) {
    error = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  handle = reinterpret_cast<void*>(module);
  return true;
}

void SharedLibrary::close() {
  if (handle != nullptr) FreeLibrary(reinterpret_cast<HMODULE>(handle));
  handle = nullptr;
}

void* SharedLibrary::symbol(const char* name) const {
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
}

#else

bool SharedLibrary::open(const std::string& path, std::string& error) {
  close();
  handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : ("cannot load " + path);
    return false;
  }
  return true;
}

void SharedLibrary::close() {
  if (handle != nullptr) dlclose(handle);
  handle = nullptr;
}

void* SharedLibrary::symbol(const char* name) const {
  if (handle == nullptr) return nullptr;
  return dlsym(handle, name);
}

#endif

}  // namespace host
