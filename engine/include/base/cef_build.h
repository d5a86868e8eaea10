// Build-environment macros. The development engine targets x86-64 Linux
// with GCC or Clang only, so these are fixed rather than detected.

#ifndef CEF_INCLUDE_BASE_CEF_BUILD_H_
#define CEF_INCLUDE_BASE_CEF_BUILD_H_
#pragma once

#if !defined(__linux__)
#error The development engine builds on Linux only.
#endif

#ifndef OS_LINUX
#define OS_LINUX 1
#endif
#ifndef OS_POSIX
#define OS_POSIX 1
#endif

#if defined(__clang__)
#define COMPILER_CLANG 1
#endif
#ifndef COMPILER_GCC
#define COMPILER_GCC 1
#endif

#if defined(__x86_64__) || defined(__aarch64__)
#define ARCH_CPU_64_BITS 1
#else
#define ARCH_CPU_32_BITS 1
#endif

// wchar_t holds UTF-32 on Linux.
#define WCHAR_T_IS_32_BIT

#ifndef TRIVIAL_ABI
#define TRIVIAL_ABI
#endif

#endif  // CEF_INCLUDE_BASE_CEF_BUILD_H_
