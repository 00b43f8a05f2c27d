#pragma once

// Debian's emscripten ships the libc++ of LLVM 14, which lacks a few C++20 library functions the engine
// uses; they are supplied here, forced in ahead of each source, so the engine compiles unchanged.
#include <memory>
#include <type_traits>

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
namespace std {
template <typename T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t size)
{
    return unique_ptr<T>(new remove_extent_t<T>[size]);
}
} // namespace std
#endif
