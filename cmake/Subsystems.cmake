# One library per subsystem, its link dependencies the allowed direction:
#   base <- controls <- capture <- imaging <- export <- app;  help on base;  skin on base and imaging.
# (imaging above capture: the adjustment window works on the current capture.)
# Each subsystem has a portable core library (pixtrel_<name>_core: base/*.cpp or <name>/core/*.cpp, natively
# and in the Windows build) and, in the Windows build, a Win32 library (pixtrel_<name>: base/win/*.cpp or
# <name>/*.cpp). Every source includes from the repository root, so a link dependency alone does not stop an
# #include the wrong way: a check step scans the subsystem's #include lines before it compiles and fails the
# build on any include of a subsystem it may not use.

set(PIXTREL_SUBSYSTEMS "" CACHE INTERNAL "")

function(pixtrel_subsystem_folders name out_core out_win)
  if(name STREQUAL "base")
    set(${out_core} ${PROJECT_SOURCE_DIR}/base PARENT_SCOPE)
    set(${out_win} ${PROJECT_SOURCE_DIR}/base/win PARENT_SCOPE)
  else()
    set(${out_core} ${PROJECT_SOURCE_DIR}/${name}/core PARENT_SCOPE)
    set(${out_win} ${PROJECT_SOURCE_DIR}/${name} PARENT_SCOPE)
  endif()
endfunction()

# pixtrel_subsystem(<name> [DEPENDS <lower subsystem>...] [EXCLUDE <file>...])
function(pixtrel_subsystem name)
  cmake_parse_arguments(S "" "" "DEPENDS;EXCLUDE" ${ARGN})

  # Subsystems this one may include: itself and everything below it.
  set(allowed ${name})
  foreach(d IN LISTS S_DEPENDS)
    list(APPEND allowed ${d} ${PIXTREL_ALLOWED_${d}})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set(PIXTREL_ALLOWED_${name} ${allowed} CACHE INTERNAL "")
  set(PIXTREL_SUBSYSTEMS ${PIXTREL_SUBSYSTEMS} ${name} CACHE INTERNAL "")

  pixtrel_subsystem_folders(${name} core_dir win_dir)
  file(GLOB core_src CONFIGURE_DEPENDS ${core_dir}/*.cpp)
  file(GLOB scanned CONFIGURE_DEPENDS ${core_dir}/*.cpp ${core_dir}/*.h ${win_dir}/*.cpp ${win_dir}/*.h)
  list(REMOVE_DUPLICATES scanned)

  # The include check: reruns when a file of the subsystem changes.
  set(stamp ${CMAKE_BINARY_DIR}/include-check/${name}.ok)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSUBSYSTEM=${name} "-DALLOWED=${allowed}" "-DFILES=${scanned}"
            -DROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${scanned} ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking the include direction of ${name}/"
    VERBATIM)
  add_custom_target(pixtrel_${name}_includes DEPENDS ${stamp})

  set(core_deps)
  foreach(d IN LISTS S_DEPENDS)
    list(APPEND core_deps pixtrel_${d}_core)
  endforeach()
  set(core pixtrel_${name}_core)
  if(core_src)
    add_library(${core} STATIC ${core_src})
    target_include_directories(${core} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${core} PUBLIC ${core_deps})
    pixtrel_warnings(${core})
  else()
    add_library(${core} INTERFACE)
    target_include_directories(${core} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${core} INTERFACE ${core_deps})
  endif()
  add_dependencies(${core} pixtrel_${name}_includes)

  if(WIN32)
    file(GLOB win_src CONFIGURE_DEPENDS ${win_dir}/*.cpp)
    if(S_EXCLUDE)
      list(REMOVE_ITEM win_src ${S_EXCLUDE})
    endif()
    if(name STREQUAL "base")
      list(REMOVE_ITEM win_src ${core_src})
    endif()
    set(win_deps ${core})
    foreach(d IN LISTS S_DEPENDS)
      list(APPEND win_deps pixtrel_${d})
    endforeach()
    set(lib pixtrel_${name})
    if(win_src)
      add_library(${lib} STATIC ${win_src})
      target_link_libraries(${lib} PUBLIC ${win_deps})
      pixtrel_warnings(${lib})
    else()
      add_library(${lib} INTERFACE)
      target_link_libraries(${lib} INTERFACE ${win_deps})
    endif()
    add_dependencies(${lib} pixtrel_${name}_includes)
  endif()
endfunction()
