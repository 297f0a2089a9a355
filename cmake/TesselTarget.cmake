# Common settings for every Tessel library, test and benchmark target.
function(tessel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
  if(TESSEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# tessel_library(<target> SOURCES ... HEADERS ... DEPENDS ... PRIVATE_DEPENDS ...)
# A shared library whose public headers live beside their sources and are
# included as <tessel/<folder>/Header.h>. Only the files named in HEADERS are
# installed; everything else in the folder is internal.
function(tessel_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  add_library(Tessel::${target} ALIAS ${target})
  target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES ${ARG_HEADERS})
  target_include_directories(${target} PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  # Calls inside a library go straight to their target instead of through the
  # PLT: nothing of ours is meant to be interposed.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-semantic-interposition>)
  # Unique symbols (the standard library's inline variables) would pin a
  # library in memory: the toolkit must unload when a plugin using it does.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  tessel_warnings(${target})
  install(TARGETS ${target} EXPORT TesselTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  set_property(GLOBAL APPEND PROPERTY TESSEL_LIBRARIES ${target})
endfunction()
