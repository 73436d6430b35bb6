#pragma once

// Owner of a loaded DLL and typed look-up of its exported functions.
#include <windows.h>

#include <utility>

namespace q350::win {

// Looks up an exported function and gives it its real type (null when absent).
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
    if (!module) {
        return nullptr;
    }
    // Through a generic function pointer: the cast between function types is deliberate here.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A system function used rarely (file dialogs, downloads, sounds) from a DLL the program does not
// import: the DLL is loaded from the system folder at the first call and stays, which keeps the
// program's start short. Null when the DLL or the function is missing.
template <typename Fn>
Fn SystemProc(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);
    if (module == nullptr) {
        module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return ProcAddress<Fn>(module, name);
}

class LoadedModule {
public:
    LoadedModule() = default;
    explicit LoadedModule(const wchar_t* name) : module_(LoadLibraryW(name)) {}
    ~LoadedModule() { reset(); }
    LoadedModule(LoadedModule&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
    LoadedModule& operator=(LoadedModule&& other) noexcept {
        if (this != &other) {
            reset();
            module_ = std::exchange(other.module_, nullptr);
        }
        return *this;
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    void reset() {
        if (module_) {
            FreeLibrary(module_);
            module_ = nullptr;
        }
    }
    HMODULE get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    template <typename Fn>
    Fn proc(const char* name) const {
        return ProcAddress<Fn>(module_, name);
    }

private:
    HMODULE module_ = nullptr;
};

}  // namespace q350::win
