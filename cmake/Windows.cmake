# The Win32 program: the platform layer, the executable and its data files.
enable_language(RC)

add_library(paneprobe_win STATIC
  app/Main.cpp
  ui/QrDialogs.cpp
  tabs/WndFuncs.cpp
  tabs/TabWindows.cpp
  config/TabConfig.cpp
  tabs/Properties.cpp
  tabs/DetailProperties.cpp
  tabs/TabProperties.cpp
  processes/ProcessEnumerator.cpp
  processes/TabProcesses.cpp
  ui/NvActionListView.cpp
  app/Shared.cpp
  app/WorkerDetails.cpp
  app/WinApiEx.cpp
  ui/Monitors.cpp
  app/WindowCalls.cpp
  ui/NvWindow.cpp
  ui/SentStructure.cpp
  ui/NvForm.cpp
  ui/Dpi.cpp
  ui/NvListView.cpp
  ui/NvControls.cpp
  ui/NvMenus.cpp
  tabs/TabEnum.cpp
  tabs/WindowRows.cpp
  tabs/TopPanelLayout.cpp
  tabs/BranchGather.cpp
  tabs/TabBranch.cpp
  tabs/TabMenus.cpp
  ui/NvActionTreeView.cpp
  app/PickOutline.cpp
  ui/NvFinder.cpp
  app/PickWindow.cpp
  ui/HotTrackLabel.cpp
  ui/NvEditComboBox.cpp
  ui/EditMargins.cpp
  messages/WindowMessage.cpp
  messages/TypeCastForm.cpp
  messages/TabMessages.cpp
  tabs/MemoryCanvas.cpp
  tabs/TabPlacement.cpp
  ui/QrAboutBox.cpp
  msglog/LogHooks.cpp
  msglog/LogChannel.cpp
  msglog/LogWindow.cpp
  msglog/MessageLogs.cpp
  msglog/LogHelper.cpp
  snapshot/SnapshotGather.cpp
  snapshot/SnapshotDiffForm.cpp
  snapshot/Snapshots.cpp
)
target_include_directories(paneprobe_win PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(paneprobe_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(paneprobe_win PUBLIC paneprobe_core comctl32 comdlg32 gdi32 user32 kernel32 shell32 advapi32 psapi
                      bcrypt)
paneprobe_warnings(paneprobe_win)

# The hook module of this build's bitness. It runs inside the logged programs, so it carries its own
# runtime, throws nothing and exports undecorated names through its .def file.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PANEPROBE_BITS 64)
else()
  set(PANEPROBE_BITS 32)
endif()
set(PANEPROBE_HOOK PaneprobeHook${PANEPROBE_BITS})
add_library(${PANEPROBE_HOOK} SHARED msglog/hook/PaneprobeHook.cpp msglog/LogRing.cpp msglog/hook/PaneprobeHook.def)
set_target_properties(${PANEPROBE_HOOK} PROPERTIES PREFIX "" OUTPUT_NAME ${PANEPROBE_HOOK})
target_include_directories(${PANEPROBE_HOOK} PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(${PANEPROBE_HOOK} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
target_compile_options(${PANEPROBE_HOOK} PRIVATE -fno-exceptions -fno-rtti)
target_link_options(${PANEPROBE_HOOK} PRIVATE -static -static-libgcc -static-libstdc++)
if(PANEPROBE_BITS EQUAL 32)
  # The .def names the stdcall procedures without their decoration.
  target_link_options(${PANEPROBE_HOOK} PRIVATE -Wl,--enable-stdcall-fixup)
endif()
paneprobe_warnings(${PANEPROBE_HOOK})

# The hook helper of this build's bitness. The release ships the other bitness's helper beside Paneprobe;
# this one serves the tests, which kill the process that set the hooks.
set(PANEPROBE_HELPER PaneprobeHelper${PANEPROBE_BITS})
add_executable(${PANEPROBE_HELPER} WIN32 msglog/helper/PaneprobeHelper.cpp msglog/LogHooks.cpp app/WinApiEx.cpp)
target_include_directories(${PANEPROBE_HELPER} PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(${PANEPROBE_HELPER} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(${PANEPROBE_HELPER} PRIVATE paneprobe_core user32 kernel32)
paneprobe_warnings(${PANEPROBE_HELPER})
if(MINGW)
  target_link_options(${PANEPROBE_HELPER} PRIVATE -mwindows)
endif()
add_dependencies(${PANEPROBE_HELPER} ${PANEPROBE_HOOK})

add_executable(Paneprobe WIN32 app/Paneprobe.cpp resources/Paneprobe.rc)
# The resource compiler reads these files but CMake does not scan a resource script for them: an edited
# manifest (which sets the process code page) or bitmap would otherwise leave the old one in the program.
file(GLOB PANEPROBE_RESOURCE_INPUTS ${CMAKE_SOURCE_DIR}/resources/*.manifest ${CMAKE_SOURCE_DIR}/resources/*.rc
     ${CMAKE_SOURCE_DIR}/resources/*.ico ${CMAKE_SOURCE_DIR}/resources/bitmaps/*.bmp)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/Paneprobe.rc PROPERTIES OBJECT_DEPENDS
                            "${PANEPROBE_RESOURCE_INPUTS}")
target_link_libraries(Paneprobe PRIVATE paneprobe_win)
paneprobe_warnings(Paneprobe)
if(MINGW)
  target_link_options(Paneprobe PRIVATE -mwindows)
endif()

# Data files live beside the executable.
set(PANEPROBE_DATA_FILES ${CMAKE_SOURCE_DIR}/resources/WindowMessages.csv)
list(APPEND PANEPROBE_DATA_FILES ${CMAKE_SOURCE_DIR}/resources/readme.txt ${CMAKE_SOURCE_DIR}/resources/changelog.txt)
# Copied as build outputs of their own, so that an edited table reaches the folder without a relink.
set(PANEPROBE_DATA_COPIES)
foreach(data ${PANEPROBE_DATA_FILES})
  if(EXISTS ${data})
    get_filename_component(dataName ${data} NAME)
    add_custom_command(OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dataName}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${data} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dataName}
      DEPENDS ${data})
    list(APPEND PANEPROBE_DATA_COPIES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dataName})
  endif()
endforeach()
add_custom_target(paneprobe_data ALL DEPENDS ${PANEPROBE_DATA_COPIES})
add_dependencies(Paneprobe paneprobe_data ${PANEPROBE_HOOK})

# The release package (cmake --build <build> --target package): a zip of exactly the program and the files
# that lie beside it, named for the Windows build it comes from.
install(TARGETS Paneprobe RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:${PANEPROBE_HOOK}> DESTINATION .)

# The other bitness's hook module and helper, so that one Paneprobe logs 32-bit and 64-bit programs alike:
# built with that bitness's toolchain in a tree of their own inside this one, and copied beside Paneprobe.
option(PANEPROBE_OTHER_BITNESS "Build the hook module and helper of the other bitness" ON)
set(PANEPROBE_OTHER_FILES)
if(PANEPROBE_OTHER_BITNESS AND NOT PANEPROBE_OTHER_BUILD)
  if(PANEPROBE_BITS EQUAL 32)
    set(otherBits 64)
    set(otherToolchain mingw-x86_64)
  else()
    set(otherBits 32)
    set(otherToolchain mingw-i686)
  endif()
  set(otherTree ${CMAKE_BINARY_DIR}/other-bitness)
  set(PANEPROBE_OTHER_FILES PaneprobeHook${otherBits}.dll PaneprobeHelper${otherBits}.exe)
  include(ExternalProject)
  ExternalProject_Add(paneprobe_other_bitness
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${otherTree}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${otherToolchain}.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DPANEPROBE_TESTS=OFF -DPANEPROBE_OTHER_BUILD=ON
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${otherTree} --target PaneprobeHook${otherBits} PaneprobeHelper${otherBits}
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different ${otherTree}/bin/PaneprobeHook${otherBits}.dll
      ${otherTree}/bin/PaneprobeHelper${otherBits}.exe ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
    BUILD_ALWAYS ON)
  add_dependencies(Paneprobe paneprobe_other_bitness)
  foreach(file ${PANEPROBE_OTHER_FILES})
    install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${file} DESTINATION .)
  endforeach()
endif()
install(FILES ${PANEPROBE_DATA_FILES} DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PANEPROBE_PACKAGE_ARCH win64)
else()
  set(PANEPROBE_PACKAGE_ARCH win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Paneprobe)
set(CPACK_PACKAGE_VENDOR "The Paneprobe developers")
set(CPACK_PACKAGE_VERSION 16.06.28)
set(PANEPROBE_PACKAGE_FILE Paneprobe-16.06.28-${PANEPROBE_PACKAGE_ARCH})
set(CPACK_PACKAGE_FILE_NAME ${PANEPROBE_PACKAGE_FILE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
