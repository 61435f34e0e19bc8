# Warnings are errors for the project's own code only; third-party headers come in as SYSTEM.
function(trackwright_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
      -Wno-sign-conversion -Werror)
    # GCC 12 reports impossible overlapping copies inside std::string when it inlines
    # `"text" + std::string(...)` at -O2 and above (GCC bug 105329); optimised builds with
    # Debian's GCC 12, the Windows cross build among them, would fail on correct code.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
      # With the sanitizers' instrumentation and optimisation together, GCC 12 also reports
      # std::function members inside std::regex as maybe uninitialized (GCC bug 105562) and the
      # sizes of vector growth as out of bounds (GCC bug 106297). The release and Windows builds
      # keep these warnings, without the instrumentation that confuses them.
      if(TRACKWRIGHT_SANITIZE)
        target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized -Wno-stringop-overflow -Wno-array-bounds)
      endif()
    endif()
  endif()
endfunction()
