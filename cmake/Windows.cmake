# The Win32 program: the platform layer, the executable and its data files.
enable_language(RC)

add_library(paneprobe_win STATIC
  app/Main.cpp
  ui/QrDialogs.cpp
  tabs/WndFuncs.cpp
  tabs/TabWindows.cpp
  config/TabConfig.cpp
  ui/NvActionListView.cpp
  app/Shared.cpp
  app/WinApiEx.cpp
  ui/NvWindow.cpp
  ui/NvForm.cpp
  ui/NvListView.cpp
  ui/NvControls.cpp
  ui/NvMenus.cpp
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
