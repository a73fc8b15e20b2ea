# What is installed without naming a component belongs to the program; the
# SDK (sdk/) installs the components "libraries" and "development".
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)
# The Debian packages of the SDK's two components, and the folder of the
# development package's documents (the API reference and the recipes).
set(VGX52_SDK_PACKAGE libkorvi70-toolvane1)
set(VGX52_SDK_DEV_PACKAGE libkorvi70-toolvane-dev)
set(VGX52_SDK_DOC_DIR share/doc/${VGX52_SDK_DEV_PACKAGE})

# The installed programs sit in one folder with their resource files and
# icon, because the program finds those next to itself; /usr/bin holds links.
set(VGX52_PROGRAM_DIR lib/vgx52)

# Copies a resource file (*.uir) next to the programs and installs it with them.
function(vgx52_resource file)
  get_filename_component(name ${file} NAME)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${file} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name} COPYONLY)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/${file} DESTINATION ${VGX52_PROGRAM_DIR})
  # The Windows installer ships every one of them.
  set_property(GLOBAL APPEND PROPERTY VGX52_RESOURCES ${name})
endfunction()

# Adds one GoogleTest executable and registers its cases with CTest.
function(vgx52_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Screens' tests drive the user interface through the headless back end.
  target_link_libraries(${name} PRIVATE ${T_LIBS} ui_headless GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CMAKE_CROSSCOMPILING)
    # Listing the cases would start every program under the emulator at
    # build time: a cross build registers each suite as one test.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "VGX52_SOURCE=${CMAKE_SOURCE_DIR}")
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    # gtest_discover_tests flattens a list-valued property into separate
    # words, so each variable travels in a property of its own.
    PROPERTIES ENVIRONMENT "VGX52_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
               ENVIRONMENT_MODIFICATION "VGX52_SOURCE=set:${CMAKE_SOURCE_DIR}")
endfunction()

# Windows: every program gets the application manifest (UTF-8 as its code
# page for the run-time's narrow file calls). Called once all folders are in.
function(vgx52_windows_manifests dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${t} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/vgx52.rc)
      # The resource compiler does not tell which files it read.
      set_source_files_properties(${PROJECT_SOURCE_DIR}/cmake/windows/vgx52.rc TARGET_DIRECTORY ${t}
        PROPERTIES OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/windows/vgx52.manifest)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    vgx52_windows_manifests(${sub})
  endforeach()
endfunction()
