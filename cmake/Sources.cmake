# The libraries of the program, layer by layer. Calls go one way:
# apps -> forms -> store -> platform interfaces <- backends.

# The interfaces; their portable helpers are compiled into each backend, which
# also supplies the platform's lower-casing they build on.
add_library(pm_platform INTERFACE)
target_include_directories(pm_platform INTERFACE ${CMAKE_SOURCE_DIR}/src)

add_library(pm_store STATIC
  src/store/RegistryModule.cpp
  src/store/modRegistry.cpp
  src/store/SettingsCatalogue.cpp
  src/store/ItemLists.cpp)
target_link_libraries(pm_store PUBLIC pm_platform)

if(PMP_WINDOWS)
  add_library(pm_backend STATIC
    src/platform/Text.cpp
    src/platform/win32/Win32LowerCase.cpp
    src/platform/win32/Win32Registry.cpp)
  target_link_libraries(pm_backend PUBLIC pm_platform advapi32 user32)

  add_executable(pmpro WIN32 src/apps/pmpro_main.cpp)
  target_link_libraries(pmpro PRIVATE pm_store pm_backend)
  add_executable(pmpstart WIN32 src/apps/pmpstart_main.cpp)
  target_link_libraries(pmpstart PRIVATE pm_store pm_backend)
  target_link_options(pmpro PRIVATE -municode)
  target_link_options(pmpstart PRIVATE -municode)
else()
  add_library(pm_backend STATIC
    src/platform/Text.cpp
    src/platform/sim/SimLowerCase.cpp
    src/platform/sim/SimRegistry.cpp)
  target_link_libraries(pm_backend PUBLIC pm_platform)
endif()
