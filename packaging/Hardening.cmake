# Debian's hardening of the programs: the stack protector, _FORTIFY_SOURCE,
# format checks, -z relro -z now and position-independent executables, as
# dpkg-buildflags gives them, so that what the package ships is what the
# tests ran. The flags are read at configure time: those that
# "hardening=+all" adds over "hardening=-all" (the rest, -g -O2 and the
# prefix maps, is the build type's and the packager's business). Stack clash
# protection and control-flow protection, which newer dpkg-buildflags gives
# too, are added where the compiler has them.
#
# Sanitizer builds go without: ASan and TSan bring their own checks, and
# _FORTIFY_SOURCE hides calls from them. Debug builds leave out
# _FORTIFY_SOURCE only, which needs optimisation.
option(PERCH_HARDENING "Build with Debian's hardening flags (from dpkg-buildflags)" ON)
if(NOT PERCH_HARDENING)
  return()
endif()
if(PERCH_SANITIZE)
  message(STATUS "Hardening: left out in a sanitizer build")
  return()
endif()
find_program(PERCH_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT PERCH_DPKG_BUILDFLAGS)
  message(STATUS "Hardening: dpkg-buildflags not found (package dpkg-dev); built without Debian's hardening flags")
  return()
endif()

# The flags of one kind (CPPFLAGS, CXXFLAGS, LDFLAGS) that hardening adds.
function(perch_hardening_flags kind out)
  foreach(setting plus minus)
    if(setting STREQUAL plus)
      set(options hardening=+all)
    else()
      set(options hardening=-all)
    endif()
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=${options} ${PERCH_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed (${status})")
    endif()
    separate_arguments(${setting} UNIX_COMMAND "${flags}")
  endforeach()
  if(minus)
    list(REMOVE_ITEM plus ${minus})
  endif()
  set(${out} ${plus} PARENT_SCOPE)
endfunction()

perch_hardening_flags(CPPFLAGS hardening_cpp)
perch_hardening_flags(CXXFLAGS hardening_cxx)
perch_hardening_flags(LDFLAGS hardening_ld)

include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "PERCH_HAS${flag}" known)
  check_cxx_compiler_flag(${flag} ${known})
  if(${known} AND NOT flag IN_LIST hardening_cxx)
    list(APPEND hardening_cxx ${flag})
  endif()
endforeach()

foreach(flag IN LISTS hardening_cpp)
  if(flag MATCHES "^-D_FORTIFY_SOURCE")
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
  else()
    add_compile_options(${flag})
  endif()
endforeach()
add_compile_options(${hardening_cxx})
add_link_options(${hardening_ld})

# Position-independent executables, whatever the compiler's default.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

list(JOIN hardening_cpp " " shown_cpp)
list(JOIN hardening_cxx " " shown_cxx)
list(JOIN hardening_ld " " shown_ld)
message(STATUS "Hardening: ${shown_cpp} ${shown_cxx} ${shown_ld} -fPIE -pie")
