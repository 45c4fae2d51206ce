# Warnings, sanitizers and hardening applied target by target, so that
# third-party code pulled in through find_package is never compiled with them.

function(quorvane_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  # All of our code is position-independent, since it ends up in the application module. Nothing
  # interposes our own functions, so calls between them stay direct and inlinable, as in an
  # executable.
  target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  if(QUORVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # Once it inlines libstdc++'s std::optional and std::string, GCC 12 at -O2
    # reports their internals as maybe-uninitialized or overlapping; those
    # reports are about the library, never about this code.
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized -Wno-restrict)
  endif()
  if(QUORVANE_SANITIZE)
    target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer
                                            -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  else()
    target_compile_options(${target} PRIVATE -fstack-protector-strong)
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
      target_compile_definitions(${target} PRIVATE _FORTIFY_SOURCE=2)
    endif()
    target_link_options(${target} PRIVATE -Wl,-z,relro,-z,now)
  endif()
endfunction()
