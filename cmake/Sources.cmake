# The libraries of the program, layer by layer. Calls go one way:
# apps -> forms -> store -> platform interfaces <- backends.
# Each layer is the .cpp files of its folder.

macro(pmp_layer name)
  file(GLOB _sources CONFIGURE_DEPENDS ${ARGN})
  add_library(${name} STATIC ${_sources})
endmacro()

# The interfaces; their portable helpers are compiled into each backend, which
# also supplies the platform's lower-casing they build on.
add_library(pm_platform INTERFACE)
target_include_directories(pm_platform INTERFACE ${CMAKE_SOURCE_DIR}/src)

# The version number lives only in project(); the code, the resource scripts
# and the manifest read it from files written here.
set(PMP_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/Version.h.in ${PMP_GENERATED}/pmp/Version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/apps/resources/app.manifest.in
               ${PMP_GENERATED}/app.manifest @ONLY)
target_include_directories(pm_platform INTERFACE ${PMP_GENERATED})

if(PMP_WINDOWS)
  pmp_layer(pm_backend src/platform/Text.cpp src/platform/PictureHeader.cpp src/platform/DebugTrace.cpp
            src/platform/Result.cpp
            src/platform/Placement.cpp src/platform/FolderPath.cpp src/platform/ProgramPath.cpp
            src/platform/win32/*.cpp)
  target_link_libraries(pm_backend PUBLIC pm_platform advapi32 user32 gdi32 shell32 comctl32
                        ole32 oleaut32 windowscodecs uuid version bcrypt wtsapi32 userenv)
else()
  pmp_layer(pm_backend src/platform/Text.cpp src/platform/PictureHeader.cpp src/platform/DebugTrace.cpp
            src/platform/Result.cpp
            src/platform/Placement.cpp src/platform/FolderPath.cpp src/platform/ProgramPath.cpp
            src/platform/sim/*.cpp)
  target_link_libraries(pm_backend PUBLIC pm_platform)
  # A password is hashed with 600,000 rounds: unoptimised and sanitized, one
  # hash takes over ten seconds, so the portable hash is optimised in every build.
  set_source_files_properties(src/platform/sim/SimCrypto.cpp PROPERTIES COMPILE_OPTIONS -O2)
endif()

# The text helpers every layer uses come with the backend.
pmp_layer(pm_store src/store/*.cpp)
target_link_libraries(pm_store PUBLIC pm_platform pm_backend)

pmp_layer(pm_forms src/platform/Form.cpp)
# A handler that fails leaves a trace through the backend.
target_link_libraries(pm_forms PUBLIC pm_platform pm_backend)


# The forms of each subsystem.
pmp_layer(pm_prompt src/prompt/*.cpp)
target_link_libraries(pm_prompt PUBLIC pm_store pm_forms)
pmp_layer(pm_about src/about/*.cpp)
target_link_libraries(pm_about PUBLIC pm_store pm_forms)
pmp_layer(pm_config src/config/*.cpp)
target_link_libraries(pm_config PUBLIC pm_store pm_forms pm_about pm_prompt)
pmp_layer(pm_engine src/engine/*.cpp)
target_link_libraries(pm_engine PUBLIC pm_store pm_forms pm_prompt pm_about pm_config)

# The two add-ons the add-item wizard starts.
pmp_layer(pm_addons src/addons/*.cpp)
target_link_libraries(pm_addons PUBLIC pm_store pm_forms)

pmp_layer(pm_startup src/startup/*.cpp)
target_link_libraries(pm_startup PUBLIC pm_store pm_forms pm_prompt)

# The service links the store and no form.
pmp_layer(pm_service src/service/*.cpp)
target_link_libraries(pm_service PUBLIC pm_store)

if(PMP_WINDOWS)
  enable_language(RC)
  # The resource compiler reports no dependencies: the pictures and the
  # generated files are named here, so a change to any rebuilds the programs.
  file(GLOB PMP_ARTWORK CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/apps/resources/art/*)
  set_source_files_properties(src/apps/resources/pmpro.rc src/apps/resources/pmpstart.rc
                              src/apps/resources/pmpsvc.rc src/apps/resources/pmpaddon.rc
                              src/apps/resources/qwenet.rc
                              PROPERTIES OBJECT_DEPENDS
                              "${PMP_GENERATED}/pmp/Version.h;${PMP_GENERATED}/app.manifest;${PMP_ARTWORK}")
  add_executable(pmpro WIN32 src/apps/pmpro_main.cpp src/apps/resources/pmpro.rc)
  target_link_libraries(pmpro PRIVATE pm_engine pm_backend)
  add_executable(pmpstart WIN32 src/apps/pmpstart_main.cpp src/apps/resources/pmpstart.rc)
  target_link_libraries(pmpstart PRIVATE pm_startup pm_backend)
  # The Event Log's texts: a message table compiled from events.mc, which
  # pmpsvc.rc includes and the setup registers as the source's message file.
  find_program(PMP_WINDMC NAMES x86_64-w64-mingw32-windmc windmc REQUIRED)
  set(PMP_EVENTS_DIR ${PMP_GENERATED}/events)
  add_custom_command(
    OUTPUT ${PMP_EVENTS_DIR}/events.rc ${PMP_EVENTS_DIR}/events.h ${PMP_EVENTS_DIR}/MSG00409.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PMP_EVENTS_DIR}
    COMMAND ${PMP_WINDMC} -h ${PMP_EVENTS_DIR} -r ${PMP_EVENTS_DIR}
            ${CMAKE_SOURCE_DIR}/src/apps/resources/events.mc
    DEPENDS ${CMAKE_SOURCE_DIR}/src/apps/resources/events.mc
    COMMENT "Compiling the Event Log's message table")
  set_property(SOURCE src/apps/resources/pmpsvc.rc APPEND PROPERTY OBJECT_DEPENDS
               ${PMP_EVENTS_DIR}/events.rc ${PMP_EVENTS_DIR}/MSG00409.bin)
  # The service program's own Windows parts: its pipe and the keeper of the
  # sessions' programs.
  pmp_layer(pm_service_host src/apps/service/*.cpp)
  target_link_libraries(pm_service_host PUBLIC pm_service pm_backend)
  add_executable(pmpsvc src/apps/pmpsvc_main.cpp src/apps/resources/pmpsvc.rc)
  target_include_directories(pmpsvc PRIVATE ${PMP_EVENTS_DIR})
  target_link_libraries(pmpsvc PRIVATE pm_service_host pm_service pm_backend)
  add_executable(pmpaddon WIN32 src/apps/pmpaddon_main.cpp src/apps/resources/pmpaddon.rc)
  target_link_libraries(pmpaddon PRIVATE pm_addons pm_backend)
  add_executable(qwenet WIN32 src/apps/qwenet_main.cpp src/apps/resources/qwenet.rc)
  target_link_libraries(qwenet PRIVATE pm_addons pm_backend)
  foreach(program pmpro pmpstart pmpsvc pmpaddon qwenet)
    target_link_options(${program} PRIVATE -municode)
  endforeach()
  # What ships is linked without the sections nothing reaches and without
  # symbols; the tests run against these very files.
  foreach(program pmpro pmpstart pmpsvc pmpaddon qwenet)
    target_link_options(${program} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-Wl,--gc-sections>
                        $<$<NOT:$<CONFIG:Debug>>:-s>)
  endforeach()
endif()

# The owner's help page lives beside the programs.
configure_file(${CMAKE_SOURCE_DIR}/help/pmpro.htm ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/pmpro.htm COPYONLY)
