# The Win32 program: the platform layer, the executable and its data files.
enable_language(RC)

add_library(paneprobe_win STATIC
  app/Main.cpp
  ui/QrDialogs.cpp
  tabs/WndFuncs.cpp
  tabs/TabWindows.cpp
  config/TabConfig.cpp
  tabs/Properties.cpp
  tabs/TabProperties.cpp
  processes/ProcessEnumerator.cpp
  processes/TabProcesses.cpp
  ui/NvActionListView.cpp
  app/Shared.cpp
  app/WinApiEx.cpp
  app/WindowCalls.cpp
  ui/NvWindow.cpp
  ui/SentStructure.cpp
  ui/NvForm.cpp
  ui/NvListView.cpp
  ui/NvControls.cpp
  ui/NvMenus.cpp
  tabs/TabEnum.cpp
  tabs/WindowRows.cpp
  tabs/TopPanelLayout.cpp
  tabs/TabBranch.cpp
  tabs/TabMenus.cpp
  ui/NvActionTreeView.cpp
  app/PickOutline.cpp
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
)
target_include_directories(paneprobe_win PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(paneprobe_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(paneprobe_win PUBLIC paneprobe_core comctl32 gdi32 user32 kernel32 shell32)
paneprobe_warnings(paneprobe_win)

add_executable(Paneprobe WIN32 app/Paneprobe.cpp resources/Paneprobe.rc)
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
add_dependencies(Paneprobe paneprobe_data)

# The release package (cmake --build <build> --target package): a zip of exactly the program and the files
# that lie beside it, named for the Windows build it comes from.
install(TARGETS Paneprobe RUNTIME DESTINATION .)
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
